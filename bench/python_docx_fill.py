"""The report fill as a clerk's python-docx script would do it, for scale:
open the template, find each bookmark, put the value's text in a run right
after its start, save. Prints the best and the median time of one report in
milliseconds.

usage: python_docx_fill.py TEMPLATE VALUES.json OUTPUT ATTEMPTS
VALUES.json: [[bookmark, text], ...] in the order of the fill.
"""
import json
import re
import statistics
import sys
import time

from docx import Document
from docx.oxml import OxmlElement
from docx.oxml.ns import qn
from docx.text.run import Run

# Characters XML cannot hold; lxml refuses them.
UNWRITABLE = re.compile("[\x00-\x08\x0b\x0c\x0e-\x1f]")


def fill(template, values, output):
    doc = Document(template)
    starts = {}
    for start in doc.element.body.iter(qn("w:bookmarkStart")):
        starts.setdefault(start.get(qn("w:name")), start)
    for name, text in values:
        text = UNWRITABLE.sub("", text).replace("\r\n", "\n").replace("\r", "\n")
        if not text:
            continue
        r = OxmlElement("w:r")
        Run(r, None).text = text  # line breaks become <w:br/>, tabs <w:tab/>
        starts[name].addnext(r)
    doc.save(output)


def main():
    template, values_file, output, attempts = sys.argv[1:5]
    with open(values_file, encoding="utf-8") as f:
        values = json.load(f)
    times = []
    for _ in range(int(attempts)):
        t = time.perf_counter()
        fill(template, values, output)
        times.append((time.perf_counter() - t) * 1000)
    print(min(times), statistics.median(times))


main()

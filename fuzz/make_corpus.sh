#!/usr/bin/env bash
# Remakes the seed corpora of the file fuzz targets from a built program
# directory (default build/program): exchange files from demo projects, the
# generated templates, a small plan workbook and its .xls twin. Every seed
# stays small, so the fuzzers mutate quickly.
set -euo pipefail
# The templates' and outputs' Chinese file names need a UTF-8 locale, whatever
# the caller's (a fresh machine or `env -i` has none).
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/.."
program=${1:-build/program}
cli=$program/zorbix-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus=fuzz/corpus

"$cli" --dir "$work" demo 3 --seed 7 >/dev/null
"$cli" --dir "$work" submit "$work/three.kj" 2>/dev/null
first=$("$cli" --dir "$work" list | head -1 | cut -f1)
"$cli" --dir "$work" submit "$work/one.kj" --project "$first" 2>/dev/null
"$cli" --dir "$work" set "$first" 'JDCG=第一行\r\n第二行' JB01='名称,带逗号' >/dev/null
mkdir -p "$work/out"
"$cli" --dir "$work" distribute "$work/out" 2>/dev/null
for target in exchange_reader append; do
  mkdir -p "$corpus/$target"
  cp "$work/one.kj" "$corpus/$target/one_record"
  cp "$work/three.kj" "$corpus/$target/three_records"
  cp "$(ls "$work"/out/*.kj | head -1)" "$corpus/$target/distributed_record"
  head -c 700 "$work/one.kj" >"$corpus/$target/cut_off_record"
  printf '"1","201300000001","x"\r\n' >"$corpus/$target/short_record"
done

/usr/bin/python3 - "$work/plan.xlsx" <<'PY'
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.append(["序号", "项目编号", "项目名称", "承担单位", "主管部门", "省拨经费"])
ws.append([1, 201300000001, "测试项目", "测试单位", "科技厅", 12.5])
ws.append([2, "201300000002", "项目二", None, "厅", "=F2*2"])
wb.save(sys.argv[1])
PY
(cd "$work" && soffice -env:UserInstallation=file://"$work"/profile --headless \
   --convert-to xls plan.xlsx >/dev/null 2>&1)

mkdir -p "$corpus/xlsx_reader" "$corpus/xlsx_writer" "$corpus/docx_filler" "$corpus/xls_reader"
cp "$work/plan.xlsx" "$corpus/xlsx_reader/plan.xlsx"
cp "$program/人才培养情况.xlsx" "$corpus/xlsx_reader/summary_template.xlsx"
cp "$work/plan.xlsx" "$corpus/xlsx_writer/plan.xlsx"
cp "$program/人才培养情况.xlsx" "$corpus/xlsx_writer/summary_template.xlsx"
cp "$program/2013模板.docx" "$corpus/docx_filler/report_template.docx"
cp "$program/Qorvath省科技计划项目执行情况年度调查系统帮助文件.docx" "$corpus/docx_filler/help.docx"
cp "$work/plan.xls" "$corpus/xls_reader/plan.xls"
cp "$work/plan.xls" "$corpus/xlsx_reader/plan.xls"

# Project lists: an export of the three projects in both formats; the
# sheet's XML alone for the XML reader, with a few small parts beside it.
mkdir -p "$corpus/list_import" "$corpus/xml_stream"
"$cli" --dir "$work" export "$work/list.xlsx" 2>/dev/null
"$cli" --dir "$work" export "$work/list.csv" 2>/dev/null
cp "$work/list.xlsx" "$corpus/list_import/list.xlsx"
cp "$work/list.csv" "$corpus/list_import/list.csv"
(cd "$work" && unzip -o -q list.xlsx xl/worksheets/sheet1.xml xl/styles.xml xl/workbook.xml)
head -c 60000 "$work/xl/worksheets/sheet1.xml" >"$corpus/xml_stream/sheet.xml"
cp "$work/xl/styles.xml" "$corpus/xml_stream/styles.xml"
cp "$work/xl/workbook.xml" "$corpus/xml_stream/workbook.xml"
printf '<?xml version="1.0"?>\r\n<a x="1 &amp; 2"><!-- c --><b/>t&#x4E2D;<![CDATA[<&>]]></a>' \
  >"$corpus/xml_stream/features.xml"

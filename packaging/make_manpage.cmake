# Writes the manual page of zorbix-cli from its own --help, so the usage has
# one source. Run as: cmake -DCLI=… -DVERSION=… -DOUT=….1 -P make_manpage.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE usage RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zorbix-cli --help failed: ${status}")
endif()
string(REPLACE "\\" "\\\\" usage "${usage}")
string(REGEX REPLACE "\n+$" "" usage "${usage}")
file(WRITE ${OUT} ".TH ZORBIX-CLI 1 \"2026-12-09\" \"zorbix ${VERSION}\" \"User Commands\"
.SH NAME
zorbix-cli \\- batch tool of the ZORBIX survey program
.SH SYNOPSIS
.B zorbix-cli
[\\fB\\-\\-dir\\fR \\fIDIR\\fR] [\\fB\\-\\-yes\\fR] \\fICOMMAND\\fR [\\fIARGUMENTS\\fR]
.SH DESCRIPTION
Runs the operations of the ZORBIX window without a window: entering and
checking projects, exchange files, reports, summaries and the reconciliation
with the plan list.
.PP
.nf
${usage}
.fi
.SH FILES
The program directory is \\fB\\-\\-dir\\fR \\fIDIR\\fR; else the folder of the
executable when it holds the store or the templates; else
\\fI$XDG_DATA_HOME/zorbix\\fR (\\fI~/.local/share/zorbix\\fR), seeded from
\\fI/usr/share/zorbix\\fR. \\fBzorbix-cli where\\fR prints it.
.SH EXIT STATUS
0 done, 1 refused or failed, 2 bad usage.
")

// Reading the first worksheet of a workbook, cell by cell, as text or number:
// Office Open XML workbooks (.xlsx) and the older binary ones (.xls). Every
// failure (missing, damaged or oversized file, no sheet) is a base::Failure
// whose message names the file and the reason, for the user.
#pragma once

#include <filesystem>

#include "office/sheet.h"

namespace zorbix::office {

// Reads the first sheet of a workbook of either kind; the kind is told by the
// file's content, so a workbook saved under the other extension still reads.
Sheet ReadFirstSheet(const std::filesystem::path& file);

// The first sheet of an .xlsx workbook: shared strings (rich text runs
// joined, phonetic runs left out), inline strings, formula texts, booleans
// and errors as text, everything else as a number.
Sheet ReadXlsxFirstSheet(const std::filesystem::path& file);

// The first sheet of an .xls workbook; formula cells and booleans read as
// empty (the format keeps no value the reader could trust).
Sheet ReadXlsFirstSheet(const std::filesystem::path& file);

}  // namespace zorbix::office

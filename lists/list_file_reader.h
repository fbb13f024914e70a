// The rows of a project list file, whichever its kind: the first sheet of an
// .xlsx workbook (xlsx_rows.h) or the records of a CSV file (csv_rows.h),
// both read as the file goes. A CSV file is UTF-8 (with or without a
// byte-order mark) or, as Excel saves CSV on a Chinese desktop, GBK.
//
// Every failure (missing, unreadable, damaged, not the kind its name says,
// too large) is a base::Failure whose message names the file and the reason.
#pragma once

#include <filesystem>

#include "lists/list_files.h"
#include "office/xlsx_rows.h"

namespace zorbix::lists {

using office::ReadProgress;
using office::RowVisitor;

// Calls `visit` with every row that has a cell with content, in file order;
// CSV fields all arrive as texts, their row the record's number.
void ReadListRows(const std::filesystem::path& file, ListFormat format, const RowVisitor& visit,
                  const ReadProgress& progress = {});

}  // namespace zorbix::lists

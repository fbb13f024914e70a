// Reading the records of a CSV project list as the file goes, so that a
// file of any size costs a few blocks of memory: the file is read in blocks,
// decoded, and each stretch of whole records is handed to the CSV reader
// (csv_text.h), which never sees a record cut by a block. The records, their
// fields and every message are those of reading the whole text at once.
//
// Before the records, the file is read once to tell its encoding, as the
// whole text would be told: UTF-8 when every byte of it is well-formed
// UTF-8, otherwise GBK (as Excel saves CSV on Chinese desktops).
//
// Limits (each refused with a message naming the file, "不是项目表"): a file
// over kMaxCsvBytes is refused before it is read; a record (a line, with the
// line breaks inside its quoted fields) over kMaxCsvRecordBytes or of more
// than kMaxCsvFields fields is refused when it is met. No exported record
// comes near them: 137 values of at most 32767 characters take under 14 MB.
#pragma once

#include <cstdint>
#include <filesystem>

#include "office/sheet_limits.h"
#include "office/xlsx_rows.h"

namespace zorbix::lists {

using office::ReadProgress;
using office::RowVisitor;

// A CSV file larger than this is no project list.
inline constexpr std::uintmax_t kMaxCsvBytes = std::uintmax_t{1} << 30;
inline constexpr std::size_t kMaxCsvRecordBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxCsvFields = office::kMaxSheetColumns;  // a sheet's columns
inline constexpr std::size_t kCsvBlockBytes = std::size_t{4} << 20;

// Calls `visit` with every record that has a field with content, as texts
// with the CSV guard removed (csv_guard.h), its row the record's number.
// Throws base::Failure naming the file.
void ReadCsvFileRows(const std::filesystem::path& file, const RowVisitor& visit,
                     const ReadProgress& progress = {}, std::size_t block_bytes = kCsvBlockBytes);

}  // namespace zorbix::lists

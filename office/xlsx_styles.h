// Which cell styles of a workbook show numbers as dates or times: a
// spreadsheet keeps a date as a number with such a style, and a project
// list must not take 2013-05-01 for 41395.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "office/zip_archive.h"

namespace zorbix::office {

// By cell style index (the s attribute of a cell): true for a date or time
// format. Read from the styles part named by the workbook's relationships;
// empty when the workbook has none. Throws base::Failure for a broken part.
std::vector<bool> DateStyles(const office::ZipArchive& package);

// True for a number format code that shows a date or a time ("yyyy-mm-dd",
// "h:mm", "[$-804]yyyy\"年\"m\"月\""), false for one that only shows
// numbers or text ("0.00", "@", "\"d\"0").
bool IsDateFormat(std::string_view code);

// The part of the workbook's relationship of a type ending in `type`
// ("/sharedStrings", "/styles"); "" when there is none.
std::string WorkbookPart(const office::ZipArchive& package, std::string_view type);

}  // namespace zorbix::office

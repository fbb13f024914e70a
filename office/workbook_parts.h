// The small parts of a list workbook around its sheets: the package's
// content types and relationships, the workbook with its sheet names and
// autofilter ranges, the cell styles (see CellStyle in office/sheet_xml.h)
// and the document properties.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zorbix::office {

struct SheetEntry {
    std::string name;
    std::string filter_range;  // "" without an autofilter
    std::string print_titles;  // "" without rows or columns repeated on each page
};

// Every part but the sheets (xl/worksheets/sheetN.xml, N from 1), by name.
std::vector<std::pair<std::string, std::string>> WorkbookParts(
    const std::vector<SheetEntry>& sheets);

}  // namespace zorbix::office

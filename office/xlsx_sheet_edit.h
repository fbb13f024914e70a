// The edits the cell writer makes to the XML of a workbook: positions given
// to every row and cell, formula caches dropped, the used range widened,
// and the request for a full calculation on load. The numbers themselves
// go in through a prepared sheet (office/xlsx_sheet_plan.h).
#pragma once

#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <utility>

namespace zorbix::office {

using CellNumbers = std::map<std::pair<int, int>, double>;  // (row, column) -> value

// Gives every row and cell an explicit position, so that inserted ones
// cannot shift those that were placed after their predecessor. Rows and
// cells without an "r" attribute stand after their predecessor, as the
// format allows.
void NameEveryPosition(pugi::xml_node sheet_data);

// Widens <dimension ref> to take in the bottom right cell given.
void WidenDimension(pugi::xml_node worksheet, int last_row, int last_column);

// The range `ref` ("A1:C3") widened to take in that bottom right cell; an
// unreadable or empty one counts as "A1".
std::string WidenedReference(std::string_view ref, int last_row, int last_column);

// Sets calcPr fullCalcOnLoad="1" in xl/workbook.xml, adding calcPr where
// the schema puts it when the workbook has none.
void RequestFullCalculation(pugi::xml_node workbook);

}  // namespace zorbix::office

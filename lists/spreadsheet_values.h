// Cells as a spreadsheet shows them: a computed number with the 15
// significant digits a spreadsheet displays (2664.0000000000005 is 2664), a
// date cell as a date in the form of the column it goes into.
#pragma once

#include <optional>
#include <string>

#include "office/xlsx_rows.h"
#include "store/catalogue.h"

namespace zorbix::lists {

using office::ListCell;

// The shortest text of `value` rounded to 15 significant digits, as a
// spreadsheet shows it; beyond 15 digits before the point the number's own
// shortest text.
std::string SpreadsheetNumberText(double value);

// A date cell's date ("2013-12-23", with " 08:30" when it holds a time of
// day too; a time alone as "08:30"), for messages.
std::string DateCellDisplay(const ListCell& cell);

// A date cell's value in the form of a column of `kind`: "2013-12-23" for a
// date or a text, "2013-12" for a year and month, "2013" for a year. None
// for the other kinds and for a cell that holds a time of day only.
std::optional<std::string> DateCellValue(const ListCell& cell, store::Kind kind);

}  // namespace zorbix::lists

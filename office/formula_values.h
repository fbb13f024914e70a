// The computed values of a sheet's formulas, so that programs that show a
// workbook without recomputing it (readers of cached values, previewers)
// see the totals. Spreadsheet programs recompute them anyway on open.
//
// The formulas understood are the arithmetic of totals: numbers, cell
// references (also with "$"), SUM over cells and ranges, + - * / and
// parentheses. A formula beyond that, one that refers to a text or error
// cell, divides by zero or takes part in a cycle keeps no value at all
// (never a stale or guessed one).
#pragma once

#include <pugixml.hpp>
#include <string_view>

#include "office/formula_sheet.h"

namespace zorbix::office {

// Gives every formula cell of <sheetData> the value of its formula as its
// cached <v> (type number), or removes the cache where the value cannot be
// computed. Every row and cell must carry its position ("r"), as they do
// once numbers have been merged.
void CacheFormulaValues(pugi::xml_node sheet_data);

// A cell of a parsed sheet as its formulas see it; the formula text points
// into the parsed document.
FormulaSheetCell FormulaCellOf(pugi::xml_node cell);

// A cell holding the number written as `text` (what a reader of the saved
// sheet gets back, which is what the totals must be computed from).
FormulaSheetCell NumberCell(int row, int column, std::string_view text);

}  // namespace zorbix::office

// The cells of a sheet as its total formulas see them, and the values of
// those formulas: what office/formula_values.h caches into a parsed sheet
// and what a prepared template's fill (office/xlsx_sheet_plan.h) writes
// into its text. One evaluation for both, so the two cannot disagree.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace zorbix::office {

struct FormulaSheetCell {
    int row = 0;  // 1-based position; cells without one take no part
    int column = 0;
    bool formula = false;     // the cell has an <f>
    bool computable = false;  // a plain formula (shared and array ones keep their text elsewhere)
    std::string_view formula_text;  // must outlive the evaluation
    bool text = false;              // SUM leaves text out; arithmetic on it has no value
    std::optional<double> value;    // a plain cell's number; nothing for text, errors, booleans
};

// The value of every formula cell, by the cells' index (nothing for a
// formula whose value cannot be computed and for every plain cell). Cells
// may come in any order; they are read in row order, each formula computed
// once on first need, and the formulas computed in row order.
std::vector<std::optional<double>> FormulaCellValues(std::vector<FormulaSheetCell> cells);

}  // namespace zorbix::office

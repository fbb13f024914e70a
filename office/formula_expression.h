// Evaluation of the arithmetic formulas of totals: numbers, cell references
// (also with "$"), SUM over cells and ranges, + - * / and parentheses.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace zorbix::office {

// The cells a formula reads. Both answer nothing for a value that cannot
// be known (text in arithmetic, an error, a formula without a value).
class FormulaCells {
public:
    virtual ~FormulaCells() = default;
    // A referenced cell: its number, 0 for an empty or missing cell.
    virtual std::optional<double> Value(int row, int column) = 0;
    // The numbers of a range as SUM takes them (text and empty cells left
    // out), in row order.
    virtual std::optional<std::vector<double>> Numbers(int top, int left, int bottom,
                                                       int right) = 0;
};

// The value of a formula text (with or without its leading "="), or nothing
// for a formula outside the arithmetic above, a division by zero or a
// result that is no finite number.
std::optional<double> EvaluateFormula(std::string_view formula, FormulaCells& cells);

}  // namespace zorbix::office

#include "office/formula_sheet.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "office/formula_expression.h"

namespace zorbix::office {
namespace {

struct SheetCell {
    FormulaSheetCell cell;
    std::size_t index = 0;  // in the caller's order
    enum class State { Unread, Computing, Done } state = State::Unread;
    bool Before(int r, int c) const { return cell.row < r || (cell.row == r && cell.column < c); }
};

// The cells of a sheet in row order, each formula computed once, on first
// need.
class Sheet final : public FormulaCells {
public:
    explicit Sheet(std::vector<FormulaSheetCell> cells) {
        cells_.reserve(cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].row == 0) continue;
            SheetCell& entry = cells_.emplace_back();
            entry.cell = std::move(cells[i]);
            entry.index = i;
            if (entry.cell.formula)
                ++formulas_;
            else
                entry.state = SheetCell::State::Done;
        }
        const auto order = [](const SheetCell& a, const SheetCell& b) {
            return a.Before(b.cell.row, b.cell.column);
        };
        if (!std::is_sorted(cells_.begin(), cells_.end(), order))
            std::stable_sort(cells_.begin(), cells_.end(), order);
    }

    void ComputeEvery(std::vector<std::optional<double>>& values) {
        if (formulas_ == 0) return;
        for (SheetCell& entry : cells_)
            if (entry.cell.formula) values[entry.index] = Compute(entry);
    }

    std::optional<double> Value(int row, int column) override {
        const auto it = First(row, column);
        if (it == cells_.end() || it->cell.row != row || it->cell.column != column) return 0.0;
        return Compute(*it);
    }

    std::optional<std::vector<double>> Numbers(int top, int left, int bottom, int right) override {
        std::vector<double> numbers;
        // Row by row, jumping over the cells left and right of the range.
        auto it = First(top, left);
        while (it != cells_.end() && it->cell.row <= bottom) {
            if (it->cell.column < left || it->cell.column > right) {
                it = First(it->cell.column < left ? it->cell.row : it->cell.row + 1, left);
                continue;
            }
            const auto value = Compute(*it);
            if (!it->cell.text) {
                if (!value) return std::nullopt;  // an error, a boolean, a formula without value
                numbers.push_back(*value);
            }
            ++it;
        }
        return numbers;
    }

private:
    std::vector<SheetCell>::iterator First(int row, int column) {
        return std::lower_bound(cells_.begin(), cells_.end(), std::pair(row, column),
                                [](const SheetCell& entry, std::pair<int, int> p) {
                                    return entry.Before(p.first, p.second);
                                });
    }

    // A formula's value (a plain cell's number came with the cell).
    std::optional<double> Compute(SheetCell& entry) {
        if (entry.state == SheetCell::State::Done) return entry.cell.value;
        if (entry.state == SheetCell::State::Computing) return std::nullopt;  // a cycle
        // A long chain of formulas on formulas is left to the reader rather
        // than followed down the stack.
        if (depth_ >= kMaxChain) return std::nullopt;
        entry.state = SheetCell::State::Computing;
        ++depth_;
        entry.cell.value =
            entry.cell.computable ? EvaluateFormula(entry.cell.formula_text, *this) : std::nullopt;
        --depth_;
        entry.state = SheetCell::State::Done;
        return entry.cell.value;
    }

    static constexpr int kMaxChain = 200;

    std::vector<SheetCell> cells_;
    int formulas_ = 0;
    int depth_ = 0;
};

}  // namespace

std::vector<std::optional<double>> FormulaCellValues(std::vector<FormulaSheetCell> cells) {
    std::vector<std::optional<double>> values(cells.size());
    Sheet(std::move(cells)).ComputeEvery(values);
    return values;
}

}  // namespace zorbix::office

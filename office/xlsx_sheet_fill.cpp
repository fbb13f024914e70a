// A fill of a prepared sheet: one ordered merge pass over the template's
// rows and cells, as a merge into the parsed tree would make it (a row or
// cell a number needs is created before the first one after it), walked
// twice. The first walk gathers the cells as the formulas see them, the
// second writes the text with the formulas' values.
#include <algorithm>
#include <optional>

#include "office/formula_values.h"
#include "office/xlsx_cell_writer.h"
#include "office/xlsx_sheet_plan.h"

namespace zorbix::office {
namespace {

using Position = CellNumbers::const_iterator;

Position EndOfRow(Position it, Position end) {
    const int row = it->first.first;
    while (it != end && it->first.first == row) ++it;
    return it;
}

}  // namespace

template <typename Visitor>
void SheetPlan::Walk(const CellNumbers& numbers, Visitor& visitor) const {
    std::size_t next = 0;  // the first child of <sheetData> not visited yet
    const auto row_from = [&](std::size_t i) {
        while (i < data_.size() && data_[i].index < 0) ++i;
        return i;
    };
    const auto visit_until = [&](std::size_t end) {
        for (; next < end; ++next) {
            if (data_[next].index < 0) {
                visitor.Text(Of(data_[next].text));
                continue;
            }
            const Row& row = rows_[data_[next].index];
            if (row.children.empty()) {
                visitor.Text(row.empty);
                continue;
            }
            visitor.Text(row.open);
            for (const Child& child : row.children)
                child.index < 0 ? visitor.Text(Of(child.text)) : visitor.Same(cells_[child.index]);
            visitor.Text(row.close);
        }
    };
    std::size_t row = row_from(0);
    for (Position it = numbers.begin(); it != numbers.end();) {
        const int wanted = it->first.first;
        const Position last = EndOfRow(it, numbers.end());
        while (row < data_.size() && rows_[data_[row].index].number < wanted)
            row = row_from(row + 1);
        visit_until(row);
        if (row == data_.size() || rows_[data_[row].index].number > wanted) {
            visitor.NewRowOpen(wanted);
            for (Position p = it; p != last; ++p) visitor.New(wanted, p->first.second, p->second);
            visitor.NewRowClose();
        } else {
            WalkRow(rows_[data_[row].index], it, last, visitor);
            next = row + 1;
            row = row_from(row + 1);
        }
        it = last;
    }
    visit_until(data_.size());
}

template <typename Visitor>
void SheetPlan::WalkRow(const Row& row, Position first, Position last, Visitor& visitor) const {
    const std::vector<Child>& children = row.children;
    std::size_t next = 0;
    const auto cell_from = [&](std::size_t i) {
        while (i < children.size() && children[i].index < 0) ++i;
        return i;
    };
    const auto visit_until = [&](std::size_t end) {
        for (; next < end; ++next)
            children[next].index < 0 ? visitor.Text(Of(children[next].text))
                                     : visitor.Same(cells_[children[next].index]);
    };
    visitor.Text(row.merged_open);
    std::size_t cell = cell_from(0);
    for (Position p = first; p != last; ++p) {
        const int wanted = p->first.second;
        while (cell < children.size() && cells_[children[cell].index].column < wanted)
            cell = cell_from(cell + 1);
        visit_until(cell);
        if (cell == children.size() || cells_[children[cell].index].column > wanted) {
            visitor.New(row.number, wanted, p->second);
            continue;
        }
        visitor.Filled(cells_[children[cell].index], row.number, wanted, p->second);
        next = cell + 1;
        cell = cell_from(cell + 1);
    }
    visit_until(children.size());
    visitor.Text(row.close);
}

namespace {

// The first walk: every cell of the filled sheet as the formulas see it,
// in document order, and the text of every number set.
struct Gathering {
    std::vector<FormulaSheetCell> cells;
    std::vector<std::size_t> cached;  // indexes of the formulas to cache
    std::vector<std::string> numbers;

    template <typename PlanCell>
    void Same(const PlanCell& cell) {
        if (cell.cached) cached.push_back(cells.size());
        cells.push_back(cell.formula);
        cells.back().formula_text = cell.formula_text;
    }
    template <typename PlanCell>
    void Filled(const PlanCell&, int row, int column, double value) {
        New(row, column, value);
    }
    void New(int row, int column, double value) {
        numbers.push_back(CellNumberText(value));
        cells.push_back(NumberCell(row, column, numbers.back()));
    }
    void Text(std::string_view) {}
    void NewRowOpen(int) {}
    void NewRowClose() {}
};

// The second walk: the sheet's text.
struct Writing {
    std::string& out;
    std::string_view texts;  // the plan's
    const std::string& prefix;
    const std::vector<std::string>& numbers;
    const std::vector<std::optional<double>>& values;  // by index of the gathered cells
    const std::vector<std::size_t>& cached;
    std::size_t next_number = 0, next_cached = 0;

    void Text(std::string_view text) { out += text; }
    template <typename Piece>
    std::string_view Of(const Piece& piece) const {
        return texts.substr(piece.at, piece.size);
    }
    template <typename PlanCell>
    void Same(const PlanCell& cell) {
        if (!cell.cached) {
            out += Of(cell.as_is);
            return;
        }
        out += Of(cell.before_value);
        if (const std::optional<double> value = values[cached[next_cached++]]) {
            out += Of(cell.value_open);
            out += CellNumberText(*value);
            out += Of(cell.value_close);
        }
        out += Of(cell.after_value);
    }
    template <typename PlanCell>
    void Filled(const PlanCell& cell, int, int, double) {
        out += Of(cell.filled_open);
        Value();
        out += Of(cell.close);
    }
    void New(int row, int column, double) {
        out += '<';
        out += prefix;
        out += "c r=\"";
        out += ColumnLetters(column);
        out += std::to_string(row);
        out += "\">";
        Value();
        out += "</";
        out += prefix;
        out += "c>";
    }
    void NewRowOpen(int number) {
        out += '<' + prefix + "row r=\"" + std::to_string(number) + "\">";
    }
    void NewRowClose() { out += "</" + prefix + "row>"; }
    void Value() {
        out += '<' + prefix + "v>";
        out += numbers[next_number++];
        out += "</" + prefix + "v>";
    }
};

}  // namespace

std::string SheetPlan::Fill(const CellNumbers& numbers) const {
    if (data_.empty() && numbers.empty()) return no_rows_;
    Gathering gathering;
    gathering.cells.reserve(cells_.size() + numbers.size());
    Walk(numbers, gathering);
    const auto values = FormulaCellValues(gathering.cells);
    std::string out;
    out.reserve(head_.size() + tail_.size() + 64 * (cells_.size() + numbers.size()));
    out += Dimension(numbers);
    Writing writing{out, texts_, prefix_, gathering.numbers, values, gathering.cached};
    Walk(numbers, writing);
    out += tail_;
    return out;
}

std::string SheetPlan::Dimension(const CellNumbers& numbers) const {
    if (numbers.empty() || !has_dimension_) return head_;
    int last_column = 0;
    for (const auto& [position, value] : numbers)
        last_column = std::max(last_column, position.second);
    return dimension_head_ +
           WidenedReference(dimension_ref_, numbers.rbegin()->first.first, last_column) +
           dimension_tail_;
}

}  // namespace zorbix::office

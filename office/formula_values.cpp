#include "office/formula_values.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "office/formula_expression.h"
#include "office/xlsx_cell_writer.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

pugi::xml_node Child(pugi::xml_node node, std::string_view local) {
    for (pugi::xml_node child : node.children())
        if (LocalName(child) == local) return child;
    return {};
}

std::string PrefixOf(pugi::xml_node node) {
    const std::string_view name = node.name();
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? "" : std::string(name.substr(0, colon + 1));
}

struct SheetCell {
    int row = 0;
    int column = 0;
    pugi::xml_node node;
    pugi::xml_node formula;  // <f>, none for a plain cell
    enum class State { Unread, Computing, Done } state = State::Unread;
    bool text = false;            // SUM leaves text out; arithmetic on it has no value
    std::optional<double> value;  // a number; nothing for text, errors, unknown formulas
    bool Before(int r, int c) const { return row < r || (row == r && column < c); }
};

// What a cell's attributes and children say, read in one pass over each
// (sheets hold thousands of cells, every one of them is read).
struct CellParts {
    std::string_view reference, type, value;
    pugi::xml_node formula;
};

// Whether an element or attribute name is `local`, with or without a
// namespace prefix; plain character tests, as this runs for every cell.
bool NameIs(const char* name, char local) {
    const char* colon = std::strchr(name, ':');
    const char* bare = colon ? colon + 1 : name;
    return bare[0] == local && bare[1] == '\0';
}

CellParts PartsOf(pugi::xml_node cell) {
    CellParts parts;
    for (pugi::xml_attribute a = cell.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        if (name[0] == 'r' && name[1] == '\0')
            parts.reference = a.value();
        else if (name[0] == 't' && name[1] == '\0')
            parts.type = a.value();
    }
    for (pugi::xml_node child = cell.first_child(); child; child = child.next_sibling()) {
        const char* name = child.name();
        if (NameIs(name, 'f'))
            parts.formula = child;
        else if (NameIs(name, 'v') && parts.value.empty())
            parts.value = child.text().get();
    }
    return parts;
}

// A plain cell's number; nothing for text, errors and booleans (which
// programs sum differently).
std::optional<double> StoredNumber(const CellParts& parts) {
    if (!parts.type.empty() && parts.type != "n") return std::nullopt;
    if (parts.value.empty()) return 0.0;  // a styled blank
    double value = 0;
    const char* end = parts.value.data() + parts.value.size();
    const auto [last, error] = std::from_chars(parts.value.data(), end, value);
    if (error != std::errc() || last != end) return std::nullopt;
    return value;
}

// The cells of a sheet in row order, each formula computed once, on first
// need.
class Sheet final : public FormulaCells {
public:
    explicit Sheet(pugi::xml_node sheet_data) {
        std::size_t count = 0;
        for (pugi::xml_node row : sheet_data.children())
            for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) ++count;
        cells_.reserve(count);
        for (pugi::xml_node row : sheet_data.children()) {
            if (LocalName(row) != "row") continue;
            for (pugi::xml_node cell : row.children()) {
                if (LocalName(cell) != "c") continue;
                const CellParts parts = PartsOf(cell);
                const auto [r, c] = ParseCellReference(parts.reference);
                if (r == 0) continue;
                SheetCell& entry = cells_.emplace_back();
                entry.row = r;
                entry.column = c;
                entry.node = cell;
                entry.formula = parts.formula;
                if (parts.formula) {
                    ++formulas_;
                    continue;
                }
                entry.text = parts.type == "s" || parts.type == "str" || parts.type == "inlineStr";
                entry.value = StoredNumber(parts);
                entry.state = SheetCell::State::Done;
            }
        }
        const auto order = [](const SheetCell& a, const SheetCell& b) {
            return a.Before(b.row, b.column);
        };
        if (!std::is_sorted(cells_.begin(), cells_.end(), order))
            std::stable_sort(cells_.begin(), cells_.end(), order);
    }

    void CacheEvery() {
        if (formulas_ == 0) return;
        for (SheetCell& cell : cells_)
            if (cell.formula) Write(cell, Compute(cell));
    }

    std::optional<double> Value(int row, int column) override {
        const auto it = First(row, column);
        if (it == cells_.end() || it->row != row || it->column != column) return 0.0;
        return Compute(*it);
    }

    std::optional<std::vector<double>> Numbers(int top, int left, int bottom, int right) override {
        std::vector<double> numbers;
        // Row by row, jumping over the cells left and right of the range.
        auto it = First(top, left);
        while (it != cells_.end() && it->row <= bottom) {
            if (it->column < left || it->column > right) {
                it = First(it->column < left ? it->row : it->row + 1, left);
                continue;
            }
            const auto value = Compute(*it);
            if (!it->text) {
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
                                [](const SheetCell& cell, std::pair<int, int> p) {
                                    return cell.Before(p.first, p.second);
                                });
    }

    // A formula's value (a plain cell's number was read with the sheet).
    std::optional<double> Compute(SheetCell& cell) {
        if (cell.state == SheetCell::State::Done) return cell.value;
        if (cell.state == SheetCell::State::Computing) return std::nullopt;  // a cycle
        // A long chain of formulas on formulas is left to the reader rather
        // than followed down the stack.
        if (depth_ >= kMaxChain) return std::nullopt;
        cell.state = SheetCell::State::Computing;
        ++depth_;
        const pugi::xml_node f = cell.formula;
        // Shared and array formulas keep their text elsewhere: left to the reader.
        const bool plain =
            !f.attribute("t") || std::string_view(f.attribute("t").value()) == "normal";
        cell.value = plain ? EvaluateFormula(f.text().get(), *this) : std::nullopt;
        --depth_;
        cell.state = SheetCell::State::Done;
        return cell.value;
    }

    static void Write(SheetCell& cell, std::optional<double> value) {
        pugi::xml_node node = cell.node;
        while (pugi::xml_node v = Child(node, "v")) node.remove_child(v);
        node.remove_attribute("t");
        if (!value) return;
        node.insert_child_after((PrefixOf(node) + "v").c_str(), cell.formula)
            .append_child(pugi::node_pcdata)
            .set_value(CellNumberText(*value).c_str());
    }

    static constexpr int kMaxChain = 200;

    std::vector<SheetCell> cells_;
    int formulas_ = 0;
    int depth_ = 0;
};

}  // namespace

void CacheFormulaValues(pugi::xml_node sheet_data) { Sheet(sheet_data).CacheEvery(); }

}  // namespace zorbix::office

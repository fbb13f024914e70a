#include "office/formula_values.h"

#include <charconv>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "office/formula_sheet.h"
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
std::optional<double> StoredNumber(std::string_view type, std::string_view value) {
    if (!type.empty() && type != "n") return std::nullopt;
    if (value.empty()) return 0.0;  // a styled blank
    double number = 0;
    const char* end = value.data() + value.size();
    const auto [last, error] = std::from_chars(value.data(), end, number);
    if (error != std::errc() || last != end) return std::nullopt;
    return number;
}

void Write(pugi::xml_node node, pugi::xml_node formula, std::optional<double> value) {
    while (pugi::xml_node v = Child(node, "v")) node.remove_child(v);
    node.remove_attribute("t");
    if (!value) return;
    node.insert_child_after((PrefixOf(node) + "v").c_str(), formula)
        .append_child(pugi::node_pcdata)
        .set_value(CellNumberText(*value).c_str());
}

}  // namespace

FormulaSheetCell FormulaCellOf(pugi::xml_node cell) {
    const CellParts parts = PartsOf(cell);
    FormulaSheetCell entry;
    std::tie(entry.row, entry.column) = ParseCellReference(parts.reference);
    if (parts.formula) {
        entry.formula = true;
        const pugi::xml_attribute kind = parts.formula.attribute("t");
        entry.computable = !kind || std::string_view(kind.value()) == "normal";
        entry.formula_text = parts.formula.text().get();
        return entry;
    }
    entry.text = parts.type == "s" || parts.type == "str" || parts.type == "inlineStr";
    entry.value = StoredNumber(parts.type, parts.value);
    return entry;
}

FormulaSheetCell NumberCell(int row, int column, std::string_view text) {
    FormulaSheetCell entry;
    entry.row = row;
    entry.column = column;
    entry.value = StoredNumber("", text);
    return entry;
}

void CacheFormulaValues(pugi::xml_node sheet_data) {
    std::vector<pugi::xml_node> nodes;
    std::vector<FormulaSheetCell> cells;
    for (pugi::xml_node row : sheet_data.children()) {
        if (LocalName(row) != "row") continue;
        for (pugi::xml_node cell : row.children()) {
            if (LocalName(cell) != "c") continue;
            nodes.push_back(cell);
            cells.push_back(FormulaCellOf(cell));
        }
    }
    const auto values = FormulaCellValues(cells);
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i].formula && cells[i].row != 0)
            Write(nodes[i], PartsOf(nodes[i]).formula, values[i]);
}

}  // namespace zorbix::office

#include "office/xlsx_sheet_edit.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "office/xlsx_cell_writer.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

// The prefix ("x:" or "") new elements take, the one of their parent.
std::string PrefixOf(pugi::xml_node node) {
    const std::string_view name = node.name();
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? "" : std::string(name.substr(0, colon + 1));
}

pugi::xml_node NextNamed(pugi::xml_node node, std::string_view local) {
    while (node && LocalName(node) != local) node = node.next_sibling();
    return node;
}

}  // namespace

void NameEveryPosition(pugi::xml_node sheet_data) {
    int number = 0;
    for (pugi::xml_node row : sheet_data.children()) {
        if (LocalName(row) != "row") continue;
        const int r = row.attribute("r").as_int(0);
        number = r > 0 ? r : number + 1;
        if (r <= 0) {
            row.remove_attribute("r");
            row.prepend_attribute("r").set_value(number);
        }
        int column = 0;
        for (pugi::xml_node cell : row.children()) {
            if (LocalName(cell) != "c") continue;
            const int c = ParseCellReference(cell.attribute("r").value()).second;
            column = c > 0 ? c : column + 1;
            if (c > 0) continue;
            cell.remove_attribute("r");
            cell.prepend_attribute("r").set_value(
                (ColumnLetters(column) + std::to_string(number)).c_str());
        }
    }
}

std::string WidenedReference(std::string_view ref, int last_row, int last_column) {
    const auto colon = ref.find(':');
    auto [top, left] = ParseCellReference(ref.substr(0, colon));
    auto [bottom, right] =
        ParseCellReference(colon == std::string_view::npos ? ref : ref.substr(colon + 1));
    if (top == 0) top = left = bottom = right = 1;  // "A1" of an empty sheet, or unreadable
    bottom = std::max(bottom, last_row);
    right = std::max(right, last_column);
    return ColumnLetters(left) + std::to_string(top) + ":" + ColumnLetters(right) +
           std::to_string(bottom);
}

void WidenDimension(pugi::xml_node worksheet, int last_row, int last_column) {
    pugi::xml_node dimension = NextNamed(worksheet.first_child(), "dimension");
    if (!dimension || last_row < 1) return;
    const std::string widened =
        WidenedReference(dimension.attribute("ref").value(), last_row, last_column);
    pugi::xml_attribute attribute = dimension.attribute("ref");
    if (!attribute) attribute = dimension.append_attribute("ref");
    attribute.set_value(widened.c_str());
}

void RequestFullCalculation(pugi::xml_node workbook) {
    pugi::xml_node calc = NextNamed(workbook.first_child(), "calcPr");
    if (!calc) {
        // calcPr follows these elements in the schema's order.
        pugi::xml_node after;
        for (pugi::xml_node child : workbook.children())
            for (std::string_view before :
                 {"sheets", "functionGroups", "externalReferences", "definedNames"})
                if (LocalName(child) == before) after = child;
        const std::string name = PrefixOf(workbook) + "calcPr";
        calc = after ? workbook.insert_child_after(name.c_str(), after)
                     : workbook.append_child(name.c_str());
    }
    pugi::xml_attribute full = calc.attribute("fullCalcOnLoad");
    if (!full) full = calc.append_attribute("fullCalcOnLoad");
    full.set_value("1");
}

}  // namespace zorbix::office

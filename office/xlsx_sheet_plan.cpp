#include "office/xlsx_sheet_plan.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/error.h"
#include "base/message_text.h"
#include "office/formula_values.h"
#include "office/xlsx_cell_writer.h"
#include "office/xlsx_saved_rows.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

std::string Printed(pugi::xml_node node) {
    std::string bytes;
    AppendSaved(node, bytes);
    return bytes;
}

std::string PrefixOf(pugi::xml_node node) {
    const std::string_view name = node.name();
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? "" : std::string(name.substr(0, colon + 1));
}

bool Is(const pugi::xml_attribute& attribute, const char* name) {
    return std::strcmp(attribute.name(), name) == 0;
}

// The start tag of an element with the node's name and attributes, the
// first one named `dropped` left out (as remove_attribute leaves it out)
// and the first "r" given `position` when one is given.
std::string StartTag(pugi::xml_document& scratch, pugi::xml_node node, const char* dropped,
                     const std::string* position = nullptr) {
    pugi::xml_node copy = scratch.append_child(node.name());
    bool skipped = false, placed = false;
    for (pugi::xml_attribute a : node.attributes()) {
        if (!skipped && Is(a, dropped)) {
            skipped = true;
            continue;
        }
        pugi::xml_attribute added = copy.append_attribute(a.name());
        const bool here = position && !placed && Is(a, "r");
        added.set_value(here ? position->c_str() : a.value());
        placed = placed || here;
    }
    std::string tag = Printed(copy);  // "<c r=\"A1\"/>": childless
    scratch.remove_child(copy);
    tag.resize(tag.size() - 2);
    return tag + ">";
}

// The start tag of a filled cell made from the cell's saved text, which
// pugixml writes as "<name" and then ` name="value"` per attribute (quotes
// inside values escaped): the same tag as StartTag's, without a document
// (a sheet has thousands of cells). Nothing when the text is not of that
// form.
std::optional<std::string> FilledTag(std::string_view saved, std::string_view position) {
    std::size_t at = saved.find_first_of(" />");
    if (saved.empty() || saved.front() != '<' || at == std::string_view::npos) return std::nullopt;
    std::string tag(saved.substr(0, at));
    bool dropped = false, placed = false;
    while (saved[at] == ' ') {
        const std::size_t equals = saved.find("=\"", at);
        const std::size_t end =
            equals == std::string_view::npos ? std::string_view::npos : saved.find('"', equals + 2);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view name = saved.substr(at + 1, equals - at - 1);
        if (!dropped && name == "t") {
            dropped = true;
        } else if (!placed && name == "r") {
            placed = true;
            tag += " r=\"";
            tag += position;
            tag += '"';
        } else {
            tag += saved.substr(at, end + 1 - at);
        }
        at = end + 1;
    }
    if (saved.compare(at, 1, ">") != 0 && saved.compare(at, 2, "/>") != 0) return std::nullopt;
    return tag + ">";
}

std::string EndTag(pugi::xml_node node) { return "</" + std::string(node.name()) + ">"; }

// Cuts `text` at the only place `marker` stands.
std::pair<std::string, std::string> CutAt(const std::string& text, std::string_view marker,
                                          std::string_view what) {
    const auto at = text.find(marker);
    if (at == std::string::npos || text.find(marker, at + 1) != std::string::npos)
        throw base::Failure(base::MessageText("{1}的结构无法识别，不能作为模板填写。", {what}));
    return {text.substr(0, at), text.substr(at + marker.size())};
}

constexpr const char* kRowsMarker = "zorbix-rows-here";
constexpr std::string_view kRowsMarkerTag = "<zorbix-rows-here/>";
constexpr const char* kDimensionMarker = "zorbix-dimension-here";

}  // namespace

SheetPlan::SheetPlan(pugi::xml_document& sheet, std::string_view what) {
    pugi::xml_node sheet_data;
    for (pugi::xml_node child : sheet.document_element().children()) {
        const std::string_view name = child.name();
        if (name == "sheetData" || (name.size() > 10 && name.ends_with(":sheetData")))
            sheet_data = child;
    }
    if (!sheet_data)
        throw base::Failure(base::MessageText("{1}不是工作表（缺少sheetData）。", {what}));
    prefix_ = PrefixOf(sheet_data);
    NameEveryPosition(sheet_data);
    PrepareRows(sheet_data);
    PrepareDocument(sheet, sheet_data, what);
}

void SheetPlan::PrepareRows(pugi::xml_node sheet_data) {
    std::size_t cells = 0;
    for (pugi::xml_node node : sheet_data.children())
        for (pugi::xml_node child : node.children()) cells += LocalName(child) == "c";
    cells_.reserve(cells);
    SavedRows saved(sheet_data);
    // Each cell's text and its start tag when filled, and a little more:
    // grown by doubling, the buffer would be copied a dozen times.
    texts_.reserve(saved.size() + 32 * cells + 4096);
    PrepareRows(sheet_data, &saved);
    if (!saved.lost()) return;
    cells_.clear();
    rows_.clear();
    data_.clear();
    texts_.clear();
    PrepareRows(sheet_data, nullptr);
}

void SheetPlan::PrepareRows(pugi::xml_node sheet_data, SavedRows* saved) {
    pugi::xml_document scratch;
    const auto other = [&](pugi::xml_node node) {
        const Text text = Print(node);
        if (saved) saved->Skip(Of(text));
        return text;
    };
    for (pugi::xml_node node : sheet_data.children()) {
        if (LocalName(node) != "row") {
            data_.push_back({-1, other(node)});
            continue;
        }
        Row row;
        row.number = node.attribute("r").as_int(0);
        row.open = StartTag(scratch, node, "");
        row.empty = row.open.substr(0, row.open.size() - 1) + "/>";
        row.merged_open = StartTag(scratch, node, "spans");
        row.close = EndTag(node);
        if (saved) saved->Skip(node.first_child() ? row.open : row.empty);
        for (pugi::xml_node child : node.children()) {
            if (LocalName(child) != "c") {
                row.children.push_back({-1, other(child)});
                continue;
            }
            row.children.push_back({static_cast<int>(cells_.size()), {}});
            const std::string_view text = saved ? saved->Element(child) : std::string_view();
            PrepareCell(scratch, child, row.number, text);
        }
        if (saved && node.first_child()) saved->Skip(row.close);
        data_.push_back({static_cast<int>(rows_.size()), {}});
        rows_.push_back(std::move(row));
    }
    if (saved) saved->Skip("</" + std::string(sheet_data.name()) + ">");
}

SheetPlan::Text SheetPlan::Print(pugi::xml_node node) {
    Text text{static_cast<std::uint32_t>(texts_.size()), 0};
    AppendSaved(node, texts_);
    text.size = static_cast<std::uint32_t>(texts_.size() - text.at);
    return text;
}

SheetPlan::Text SheetPlan::Keep(std::string_view text) {
    const Text kept{static_cast<std::uint32_t>(texts_.size()),
                    static_cast<std::uint32_t>(text.size())};
    texts_ += text;
    return kept;
}

void SheetPlan::PrepareCell(pugi::xml_document& scratch, pugi::xml_node node, int row,
                            std::string_view saved) {
    Cell& cell = cells_.emplace_back();
    cell.row = row;
    cell.column = ParseCellReference(node.attribute("r").value()).second;
    cell.as_is = saved.empty() ? Print(node) : Keep(saved);
    cell.close = Keep(EndTag(node));
    const std::string position = ColumnLetters(cell.column) + std::to_string(row);
    std::optional<std::string> filled = FilledTag(Of(cell.as_is), position);
    cell.filled_open = Keep(filled ? *filled : StartTag(scratch, node, "t", &position));
    cell.formula = FormulaCellOf(node);
    cell.formula_text = std::string(cell.formula.formula_text);
    cell.formula.formula_text = {};
    cell.cached = cell.formula.formula && cell.formula.row != 0;
    if (!cell.cached) return;
    // Cached values go right after the (last) formula, older ones dropped.
    pugi::xml_node formula;
    for (pugi::xml_node child : node.children())
        if (LocalName(child) == "f") formula = child;
    std::string before = StartTag(scratch, node, "t"), after;
    std::string* side = &before;
    for (pugi::xml_node child : node.children()) {
        if (LocalName(child) != "v") *side += Printed(child);
        if (child == formula) side = &after;
    }
    after += Of(cell.close);
    cell.before_value = Keep(before);
    cell.after_value = Keep(after);
    const std::string prefix = PrefixOf(node);
    cell.value_open = Keep("<" + prefix + "v>");
    cell.value_close = Keep("</" + prefix + "v>");
}

void SheetPlan::PrepareDocument(pugi::xml_document& sheet, pugi::xml_node sheet_data,
                                std::string_view what) {
    if (!sheet_data.first_child()) no_rows_ = SaveXmlPart(sheet);
    while (sheet_data.first_child()) sheet_data.remove_child(sheet_data.first_child());
    sheet_data.append_child(kRowsMarker);
    std::tie(head_, tail_) = CutAt(SaveXmlPart(sheet), kRowsMarkerTag, what);

    pugi::xml_node dimension = sheet.document_element().first_child();
    while (dimension && LocalName(dimension) != "dimension") dimension = dimension.next_sibling();
    if (!dimension) return;
    has_dimension_ = true;
    pugi::xml_attribute ref = dimension.attribute("ref");
    if (!ref) ref = dimension.append_attribute("ref");
    dimension_ref_ = ref.value();
    ref.set_value(kDimensionMarker);
    const auto [before_rows, after_rows] = CutAt(SaveXmlPart(sheet), kRowsMarkerTag, what);
    std::tie(dimension_head_, dimension_tail_) = CutAt(before_rows, kDimensionMarker, what);
}

}  // namespace zorbix::office

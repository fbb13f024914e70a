#include "server/catalogue_json.h"

#include "forms/arrow_targets.h"
#include "forms/page_layout.h"
#include "server/json_body.h"
#include "server/page_names.h"
#include "store/code_lists.h"

namespace zorbix::server {
namespace {

Json OrNull(std::string_view text) { return text.empty() ? Json(nullptr) : Json(text); }

Json ColumnJson(const store::Column& c) {
    return {{"name", c.name},
            {"caption", c.caption},
            {"page", OrNull(PageName(c.page))},
            {"limit", c.max_bytes},
            {"kind", KindName(c.kind)},
            {"key_class", KeyClassName(c.keys)},
            {"picker", OrNull(c.picker == store::Picker::None ? "" : store::PickerName(c.picker))},
            {"indent", c.indent}};
}

Json BoxJson(const forms::TwipBox& box) {
    return {{"left", box.left}, {"top", box.top}, {"width", box.width}, {"height", box.height}};
}

// Where each arrow key moves the focus from the field; a key that moves
// nothing is left out.
Json ArrowsJson(const std::string& column) {
    constexpr std::pair<forms::Arrow, const char*> kKeys[] = {{forms::Arrow::Up, "up"},
                                                              {forms::Arrow::Down, "down"},
                                                              {forms::Arrow::Left, "left"},
                                                              {forms::Arrow::Right, "right"}};
    Json arrows = Json::object();
    for (const auto& [arrow, key] : kKeys)
        if (auto target = forms::ArrowTarget(column, arrow); !target.empty()) arrows[key] = target;
    return arrows;
}

Json PageJson(store::Page page) {
    const forms::PageLayout layout = forms::LayoutOf(page);
    Json fields = Json::array(), captions = Json::array(), notes = Json::array();
    for (const auto& f : layout.fields)
        fields.push_back(
            {{"column", f.column}, {"box", BoxJson(f.box)}, {"arrows", ArrowsJson(f.column)}});
    for (const auto& c : layout.captions)
        captions.push_back(
            {{"column", c.column}, {"box", BoxJson(c.box)}, {"bold", c.bold}, {"wrap", c.wrap}});
    for (const auto& n : layout.notes)
        notes.push_back({{"name", n.name},
                         {"text", n.text},
                         {"box", BoxJson(n.box)},
                         {"style", NoteStyleName(n.style)}});
    return {{"name", PageName(page)},
            {"caption", store::PageCaption(page)},
            {"fields", fields},
            {"captions", captions},
            {"notes", notes}};
}

// Each item with what picking it writes into the field (the whole item, or
// the region picker's six-digit code).
Json PickerJson(store::Picker picker) {
    Json items = Json::array();
    for (const std::string& item : store::PickerItems(picker))
        items.push_back({{"text", item}, {"value", store::PickedValue(picker, item)}});
    return {{"items", items}, {"shared", store::IsSharedPicker(picker)}};
}

Json MakeCatalogue() {
    Json columns = Json::array(), pages = Json::array(), pickers = Json::object();
    for (const store::Column& c : store::Columns()) columns.push_back(ColumnJson(c));
    for (store::Page page : forms::kPageOrder) pages.push_back(PageJson(page));
    for (store::Picker picker : store::AllPickers())
        pickers[std::string(store::PickerName(picker))] = PickerJson(picker);
    return {{"columns", columns},
            {"pages", pages},
            {"page_size", {{"width", forms::kPageWidth}, {"height", forms::kPageHeight}}},
            {"pickers", pickers}};
}

}  // namespace

const std::string& CatalogueDocument() {
    static const std::string document =
        MakeCatalogue().dump(-1, ' ', false, Json::error_handler_t::replace);
    return document;
}

}  // namespace zorbix::server

#include "server/project_json.h"

#include "server/page_names.h"
#include "store/catalogue.h"

namespace zorbix::server {

Json ValuesJson(const store::Record& record) {
    Json values = Json::object();
    for (const store::Column& c : store::Columns()) values[c.name] = record[c.index];
    return values;
}

Json FindingsJson(std::span<const check::Finding> findings) {
    Json list = Json::array();
    for (const check::Finding& f : findings) {
        const std::string_view page = PageName(f.page);
        list.push_back(
            {{"page", page.empty() ? Json(nullptr) : Json(page)},
             {"column", f.column < 0 ? Json(nullptr) : Json(store::Columns()[f.column].name)},
             {"text", f.text}});
    }
    return list;
}

}  // namespace zorbix::server

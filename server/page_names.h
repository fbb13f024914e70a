// The names the JSON API gives to the catalogue's enumerations: pages,
// kinds of value, key classes and note styles. Stable words, so scripts
// and the web pages can rely on them.
#pragma once

#include <optional>
#include <string_view>

#include "forms/page_layout.h"
#include "store/catalogue.h"

namespace zorbix::server {

// "cover", "table_one", …; "" for Page::None.
std::string_view PageName(store::Page page);
std::string_view KindName(store::Kind kind);
std::string_view KeyClassName(store::KeyClass keys);
std::string_view NoteStyleName(forms::NoteStyle style);

}  // namespace zorbix::server

// The column catalogue, the page layouts and the picker items as one JSON
// document, from the same tables the window builds its pages from, so the
// web pages and the window cannot drift apart.
#pragma once

#include <string>

namespace zorbix::server {

// The document of GET /api/catalogue, made once and kept: it never changes
// while the program runs.
const std::string& CatalogueDocument();

}  // namespace zorbix::server

// The web pages: the files of one folder (HTML, CSS, JavaScript modules),
// served as they lie, under the same security headers as the JSON API.
// Only what lies inside the folder is ever read: a path that leaves it, by
// "..", by a percent-encoded or backslashed form of it, by a NUL or by a
// link pointing out, is answered as a missing page.
#pragma once

#include <httplib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorbix::server {

// The folder of the pages beside an executable: "web" in its own folder (the
// build tree, a portable folder), else the installed data folder's
// (/usr/bin → /usr/share/zorbix/web).
std::filesystem::path DefaultWebDir(const std::filesystem::path& executable_dir);

// The file under `root` that a request target ("/x/y.js?z") names, with "/"
// standing for "index.html"; nullopt for a target that is refused or names
// no regular file of a served type inside `root`.
std::optional<std::filesystem::path> StaticFileFor(const std::filesystem::path& root,
                                                   std::string_view target);

// The Content-Type of a served file by its extension; "" for a type the
// server does not serve.
std::string_view ContentTypeOf(const std::filesystem::path& file);

// Serves the files of `root` for every GET no API route answered. Paths
// under /api/ stay the API's: an unknown call there is a JSON 404.
void AddStaticRoutes(httplib::Server& http, const std::filesystem::path& root);

}  // namespace zorbix::server

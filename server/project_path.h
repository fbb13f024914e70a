// The project number in a call's path (/api/projects/{n}…). Numbers stand
// percent-encoded, and may hold a slash ("%2F"), so the number is taken
// from the request target as sent, before anything decoded it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorbix::server {

inline constexpr std::string_view kProjectsPrefix = "/api/projects/";

// The decoded number of a request target that is kProjectsPrefix, one
// segment and `suffix` ("/api/projects/2013%2F01/findings?x" with suffix
// "/findings" → "2013/01"); nullopt for a target of another shape. A "%"
// not followed by two hexadecimal digits stays as it is.
std::optional<std::string> ProjectNumberInTarget(std::string_view target, std::string_view suffix);

}  // namespace zorbix::server

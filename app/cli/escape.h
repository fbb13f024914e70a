// The batch tool's escaping of values on one line: backslash as \\, CR as
// \r, LF as \n, TAB as \t; every other character as it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorbix::cli {

std::string Escape(std::string_view value);

// nullopt for a backslash followed by anything but \ r n t, or at the end.
std::optional<std::string> Unescape(std::string_view text);

}  // namespace zorbix::cli

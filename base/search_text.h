// How a typed search text meets stored text: full-width letters, digits and
// signs count as their half-width forms, the ideographic blank as a blank,
// and case does not count, so "ＡＢ１" finds "ab1". Works on UTF-8 and keeps
// every other character as it is, so a substring of folded texts is a
// substring of the texts as the clerk reads them.
#pragma once

#include <string>
#include <string_view>

namespace zorbix::base {

std::string SearchFolded(std::string_view utf8);

// True when `folded_needle` (already folded) occurs in `folded_haystack`.
inline bool ContainsFolded(std::string_view folded_haystack, std::string_view folded_needle) {
    return folded_haystack.find(folded_needle) != std::string_view::npos;
}

}  // namespace zorbix::base

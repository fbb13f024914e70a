// Lengths as the survey's rules count them: characters, not bytes (a Chinese
// character counts one, as in the original's string functions).
#pragma once

#include <cstddef>
#include <string_view>

namespace zorbix::base {

// Number of characters (code points) of a UTF-8 text.
inline std::size_t CharacterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace zorbix::base

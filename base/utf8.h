// UTF-8 for every reader and writer: telling well-formed UTF-8 from other
// bytes, and writing a character as UTF-8 where a reference ("&#x4E2D;",
// "_x000D_") stands for it.
#pragma once

#include <string>
#include <string_view>

namespace zorbix::base {

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogate halves, nothing beyond U+10FFFF).
bool IsUtf8(std::string_view text);

// Appends the UTF-8 bytes of a code point (at most 0x10FFFF) to out.
inline void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace zorbix::base

// UTF-8 for every folder: telling well-formed UTF-8 from other bytes,
// counting and splitting characters, and writing a character as UTF-8 where
// a reference ("&#x4E2D;", "_x000D_") stands for it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorbix::base {

// True for the bytes that continue a character (10xxxxxx).
constexpr bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Number of characters (code points) of a UTF-8 text: a Chinese character
// counts one, as the survey's rules and the original's string functions
// count lengths.
inline std::size_t CharacterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if (!IsContinuationByte(c)) ++n;
    return n;
}

// The characters of a UTF-8 text, each as its own view.
std::vector<std::string_view> Characters(std::string_view text);

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

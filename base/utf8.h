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

// One character of a UTF-8 text: its code point and its length in bytes;
// a length of 0 where the bytes at that place are no well-formed UTF-8
// (an overlong form, a surrogate half, beyond U+10FFFF, cut off).
struct Utf8Character {
    char32_t code = 0;
    std::size_t bytes = 0;
};

inline Utf8Character DecodeUtf8At(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return {lead, 1};
    std::size_t more = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0)
        more = 1, code = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        more = 2, code = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        more = 3, code = lead & 0x07;
    else
        return {};
    if (at + more >= text.size()) return {};
    for (std::size_t k = 1; k <= more; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if (!IsContinuationByte(next)) return {};
        code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
    return {code, more + 1};
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

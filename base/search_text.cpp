#include "base/search_text.h"

#include <algorithm>

namespace zorbix::base {
namespace {

constexpr char32_t kFullWidthFirst = 0xFF01;  // "！"
constexpr char32_t kFullWidthLast = 0xFF5E;   // "～"
constexpr char32_t kFullWidthOffset = 0xFEE0;
constexpr char32_t kIdeographicSpace = 0x3000;

// Length of the UTF-8 sequence its first byte starts; 1 for a stray byte,
// which is then kept as it is.
std::size_t SequenceLength(unsigned char first) {
    if (first >= 0xF0 && first < 0xF8) return 4;
    if (first >= 0xE0) return first < 0xF0 ? 3 : 1;
    if (first >= 0xC0) return 2;
    return 1;
}

// The code point of a three-byte sequence (all full-width forms are three).
char32_t ThreeByteCodePoint(std::string_view s) {
    return (static_cast<char32_t>(s[0] & 0x0F) << 12) | (static_cast<char32_t>(s[1] & 0x3F) << 6) |
           static_cast<char32_t>(s[2] & 0x3F);
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string SearchFolded(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n =
            std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        if (n == 3) {
            const char32_t cp = ThreeByteCodePoint(utf8.substr(i, 3));
            if (cp >= kFullWidthFirst && cp <= kFullWidthLast) {
                out += LowerAscii(static_cast<char>(cp - kFullWidthOffset));
                i += 3;
                continue;
            }
            if (cp == kIdeographicSpace) {
                out += ' ';
                i += 3;
                continue;
            }
        }
        if (n == 1)
            out += LowerAscii(utf8[i]);
        else
            out.append(utf8.substr(i, n));
        i += n;
    }
    return out;
}

}  // namespace zorbix::base

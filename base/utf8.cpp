#include "base/utf8.h"

namespace zorbix::base {

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int more = 0;
        char32_t code = c;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0)
            more = 1, code = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            more = 2, code = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            more = 3, code = c & 0x07;
        else
            return false;
        if (i + more >= text.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            code = (code << 6) | (d & 0x3F);
        }
        constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= text.size(); ++i)
        if (i == text.size() || !IsContinuationByte(static_cast<unsigned char>(text[i]))) {
            out.push_back(text.substr(start, i - start));
            start = i;
        }
    return out;
}

}  // namespace zorbix::base

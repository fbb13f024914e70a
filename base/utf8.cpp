#include "base/utf8.h"

namespace zorbix::base {

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const Utf8Character c = DecodeUtf8At(text, i);
        if (c.bytes == 0) return false;
        i += c.bytes;
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

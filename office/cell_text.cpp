#include "office/cell_text.h"

#include "base/utf8.h"

namespace zorbix::office {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The code unit of "_xHHHH_" at text[i], or -1.
int EscapeAt(std::string_view text, std::size_t i) {
    if (i + 6 >= text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_')
        return -1;
    int value = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
        const int digit = HexValue(text[k]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

std::string KeepLiteralEscapes(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size() + 7);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (EscapeAt(text, i) >= 0) out += "_x005F";
        out += text[i];
    }
    return out;
}

std::string DecodeCellText(std::string_view text) {
    std::string out;
    DecodeCellTextInto(text, out);
    return out;
}

void DecodeCellTextInto(std::string_view text, std::string& out) {
    if (text.find("_x") == std::string_view::npos) {
        out.assign(text);
        return;
    }
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = EscapeAt(text, i);
        // A surrogate half is no character of its own: left as written.
        if (code < 0 || (code >= 0xD800 && code <= 0xDFFF)) {
            out += text[i];
            continue;
        }
        base::AppendUtf8(out, static_cast<char32_t>(code));
        i += 6;
    }
}

}  // namespace zorbix::office

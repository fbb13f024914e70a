#include "server/download_name.h"

#include "base/utf8.h"

namespace zorbix::server {
namespace {

// Characters no file name on the survey's machines may hold, and those the
// header's quoted text cannot: the quote, the backslash, the path's slash.
constexpr std::string_view kRefused = "\"\\/:*?<>|";

bool Refused(unsigned char c) {
    return c < 0x20 || c == 0x7F || kRefused.find(static_cast<char>(c)) != std::string_view::npos;
}

// RFC 5987's attr-char: what stands in filename* unencoded.
bool PlainInEncoded(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

bool PlainAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

std::string PercentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (PlainInEncoded(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

// The stand-in for clients that read only filename: ASCII letters, digits,
// "-", "_" and "." of the stem, each other byte "_" (a Chinese character
// becomes a run of them: the UTF-8 name is in filename*).
std::string AsciiStandIn(std::string_view stem) {
    std::string out;
    for (const char ch : stem) out += PlainAscii(static_cast<unsigned char>(ch)) ? ch : '_';
    return out;
}

}  // namespace

std::string SafeFileStem(std::string_view number) {
    // A number that is not UTF-8 (GBK bytes of an old store) would make
    // filename* name no file at all: its bytes beyond ASCII become "_".
    const bool utf8 = base::IsUtf8(number);
    std::string stem;
    for (const char ch : number) {
        const auto c = static_cast<unsigned char>(ch);
        stem += Refused(c) || (!utf8 && c >= 0x80) ? '_' : ch;
    }
    // A name of dots, or one starting with a dot, is hidden or means a folder.
    for (char& c : stem) {
        if (c != '.') break;
        c = '_';
    }
    return stem.empty() ? "项目" : stem;
}

std::string AttachmentDisposition(std::string_view number, std::string_view extension) {
    const std::string stem = SafeFileStem(number);
    const std::string name = stem + std::string(extension);
    return "attachment; filename=\"" + AsciiStandIn(stem) + std::string(extension) +
           "\"; filename*=UTF-8''" + PercentEncoded(name);
}

}  // namespace zorbix::server

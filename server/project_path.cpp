#include "server/project_path.h"

namespace zorbix::server {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::optional<std::string> ProjectNumberInTarget(std::string_view target, std::string_view suffix) {
    const std::string_view path = target.substr(0, target.find('?'));
    if (!path.starts_with(kProjectsPrefix) || !path.ends_with(suffix)) return std::nullopt;
    if (path.size() < kProjectsPrefix.size() + suffix.size() + 1) return std::nullopt;
    const std::string_view segment =
        path.substr(kProjectsPrefix.size(), path.size() - kProjectsPrefix.size() - suffix.size());
    if (segment.find('/') != std::string_view::npos) return std::nullopt;
    return PercentDecoded(segment);
}

}  // namespace zorbix::server

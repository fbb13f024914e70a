#include "server/static_files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "server/json_body.h"

namespace zorbix::server {
namespace {

namespace fs = std::filesystem;

constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
    {".html", "text/html; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".json", "application/json; charset=utf-8"},
    {".svg", "image/svg+xml"},
    {".png", "image/png"},
    {".ico", "image/x-icon"},
};

// Larger files are no page of ours; refusing them keeps memory bounded.
constexpr std::uintmax_t kMaxFileBytes = 4 * 1024 * 1024;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The path decoded; nullopt for a broken escape, so nothing half-decoded
// reaches the file system.
std::optional<std::string> Decoded(std::string_view path) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            out += path[i];
            continue;
        }
        const int high = i + 2 < path.size() ? HexValue(path[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(path[i + 2]) : -1;
        if (low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// Each segment a plain name: no empty segment, none beginning with a dot
// ("..", ".", hidden files), no backslash
// (a separator elsewhere), no NUL or other control character.
bool PlainSegments(std::string_view path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view segment = path.substr(start, end - start);
        if (segment.empty() || segment.front() == '.') return false;
        for (const char c : segment)
            if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
        start = end + 1;
    }
    return true;
}

bool Inside(const fs::path& file, const fs::path& root) {
    const auto [root_end, file_at] =
        std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    return root_end == root.end() && file_at != file.end();
}

std::optional<std::string> ReadWhole(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error || size > kMaxFileBytes) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return std::nullopt;
    return content;
}

}  // namespace

fs::path DefaultWebDir(const fs::path& executable_dir) {
    std::error_code error;
    const fs::path beside = executable_dir / "web";
    if (fs::is_directory(beside, error)) return beside;
    return executable_dir.parent_path() / "share" / "zorbix" / "web";
}

std::string_view ContentTypeOf(const fs::path& file) {
    const std::string extension = file.extension().string();
    for (const auto& [ending, type] : kTypes)
        if (extension == ending) return type;
    return "";
}

std::optional<fs::path> StaticFileFor(const fs::path& root, std::string_view target) {
    std::string_view raw = target.substr(0, target.find_first_of("?#"));
    if (raw.empty() || raw.front() != '/') return std::nullopt;
    const auto path = Decoded(raw.substr(1));
    if (!path) return std::nullopt;
    const std::string relative = path->empty() ? "index.html" : *path;
    if (!PlainSegments(relative) || ContentTypeOf(relative).empty()) return std::nullopt;
    std::error_code error;
    const fs::path real_root = fs::canonical(root, error);
    if (error) return std::nullopt;
    // A link inside the folder must not lead out of it.
    const fs::path file = fs::canonical(real_root / relative, error);
    if (error || !Inside(file, real_root) || !fs::is_regular_file(file, error)) return std::nullopt;
    return file;
}

void AddStaticRoutes(httplib::Server& http, const fs::path& root) {
    http.Get(".*", [root](const httplib::Request& request, httplib::Response& response) {
        if (request.path.starts_with("/api/") || request.path == "/api")
            return SendError(response, 404, "没有这个调用。");
        const auto file = StaticFileFor(root, request.target);
        const auto content = file ? ReadWhole(*file) : std::nullopt;
        if (!content) return SendError(response, 404, "没有这个页面。");
        response.status = 200;
        response.set_content(*content, std::string(ContentTypeOf(*file)));
    });
}

}  // namespace zorbix::server

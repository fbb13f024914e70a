#include "server/upload_limits.h"

#include <charconv>

#include "server/security_headers.h"

namespace zorbix::server {
namespace {

struct UploadCall {
    std::string_view path;
    std::size_t limit;
};

constexpr UploadCall kUploadCalls[] = {
    {"/api/plan", kMaxWorkbookBytes},
    {"/api/units", kMaxWorkbookBytes},
    {"/api/exchange", kMaxExchangeBytes},
};

const UploadCall* UploadCallAt(std::string_view path) {
    for (const UploadCall& call : kUploadCalls)
        if (call.path == path) return &call;
    return nullptr;
}

}  // namespace

std::size_t BodyLimitFor(std::string_view path) {
    const UploadCall* call = UploadCallAt(path);
    return call ? call->limit : kMaxBodyBytes;
}

std::string TooLargeMessage(std::string_view path) {
    const UploadCall* call = UploadCallAt(path);
    if (!call) return "请求内容过大。";
    return "上传的文件过大（最大" + std::to_string(call->limit / (1024 * 1024)) +
           "MB），已拒绝读取。";
}

std::optional<std::string> BodyTooLarge(std::string_view path, std::string_view content_length) {
    if (content_length.empty()) return std::nullopt;
    std::size_t length = 0;
    const char* end = content_length.data() + content_length.size();
    const auto [stop, error] = std::from_chars(content_length.data(), end, length);
    // A length too long for any number is too large as well; one that is no
    // number is for the HTTP server to refuse.
    if (error == std::errc::result_out_of_range ||
        (error == std::errc() && stop == end && length > BodyLimitFor(path)))
        return TooLargeMessage(path);
    return std::nullopt;
}

}  // namespace zorbix::server

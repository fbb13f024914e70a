#include "server/session_gate.h"

#include "accounts/secrets.h"
#include "server/api_error.h"

namespace zorbix::server {
namespace {

bool ChangesSomething(const httplib::Request& request) {
    return request.method != "GET" && request.method != "HEAD";
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::string CookieAttributes(bool secure) {
    return std::string("; Path=/; HttpOnly; SameSite=Strict") + (secure ? "; Secure" : "");
}

}  // namespace

std::string SessionToken(const httplib::Request& request) {
    const std::string header = request.get_header_value("Cookie");
    std::string_view rest = header;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        const std::string_view pair = Trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const auto eq = pair.find('=');
        if (eq != std::string_view::npos && pair.substr(0, eq) == kSessionCookie)
            return std::string(pair.substr(eq + 1));
    }
    return "";
}

Caller RequireCaller(Books& parts, const httplib::Request& request, bool before_password_change) {
    const std::string token = SessionToken(request);
    if (token.empty()) NotLoggedIn();
    auto session = parts.sessions.Resume(token);
    if (!session) NotLoggedIn();
    auto account = parts.accounts.Find(session->account);
    if (!account) NotLoggedIn();
    if (ChangesSomething(request) &&
        !accounts::SameSecret(request.get_header_value(kCsrfHeader), session->csrf))
        throw ApiError(403, "请求缺少有效的安全令牌（X-CSRF-Token），请重新登录后再试。");
    if (account->must_change_password && !before_password_change)
        throw ApiError(403, "请先修改一次性密码，然后再继续。");
    return {std::move(*account), std::move(*session)};
}

std::string SessionCookie(std::string_view token, bool secure) {
    return std::string(kSessionCookie) + "=" + std::string(token) + CookieAttributes(secure);
}

std::string ClearedSessionCookie(bool secure) {
    return std::string(kSessionCookie) + "=" + CookieAttributes(secure) + "; Max-Age=0";
}

}  // namespace zorbix::server

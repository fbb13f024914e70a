#include "tests/server/api_client.h"

#include <chrono>

namespace zorbix::testing {

using namespace std::chrono_literals;

Reply ApiClient::Call(const std::string& method, const std::string& path, const BrowserSession* who,
                      const std::string& body, const std::string& type) const {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(2s);
    client.set_read_timeout(20s);
    httplib::Request request;
    request.method = method;
    request.path = path;
    if (who) {
        request.set_header("Cookie", who->cookie);
        request.set_header("X-CSRF-Token", who->csrf);
    }
    if (!body.empty()) {
        request.body = body;
        request.set_header("Content-Type", type);
    }
    const auto result = client.send(request);
    if (!result) return {};
    return {result->status, result->body, result->headers};
}

std::optional<BrowserSession> ApiClient::Login(const std::string& name,
                                               const std::string& password) const {
    const Reply reply = Call("POST", "/api/login", nullptr,
                             nlohmann::json{{"name", name}, {"password", password}}.dump());
    if (reply.status != 200) return std::nullopt;
    const std::string cookie = reply.Header("Set-Cookie");
    return BrowserSession{cookie.substr(0, cookie.find(';')), reply.Json().value("csrf", "")};
}

}  // namespace zorbix::testing

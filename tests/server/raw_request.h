// Requests written byte for byte on a socket of their own, as an attacker
// would send them: the target goes out exactly as given (no client encodes
// or tidies it), and the connection may come from any loopback address.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace zorbix::testing {

// Built by naming what differs from a plain GET:
// RawRequest().Method("PUT").Target("/api/…").Body("{}").
struct RawRequest {
    RawRequest& Method(std::string text) { return Set(method, std::move(text)); }
    RawRequest& Target(std::string text) { return Set(target, std::move(text)); }
    RawRequest& Cookie(std::string text) { return Set(cookie, std::move(text)); }
    RawRequest& Csrf(std::string text) { return Set(csrf, std::move(text)); }
    RawRequest& WithoutCsrf() {
        send_csrf = false;
        return *this;
    }
    RawRequest& Body(std::string text) { return Set(body, std::move(text)); }
    RawRequest& From(std::string address) { return Set(from, std::move(address)); }
    // Declares a body of this length and sends none of it.
    RawRequest& DeclaredLength(std::size_t length) {
        declared_length = length;
        return *this;
    }

    std::string method = "GET";
    std::string target;
    std::string cookie;  // "zorbix_session=…", or none
    std::string csrf;    // sent as X-CSRF-Token unless `send_csrf` is false
    bool send_csrf = true;
    std::string body;  // sent as JSON when not empty
    std::string from = "127.0.0.1";
    std::optional<std::size_t> declared_length;

private:
    RawRequest& Set(std::string& member, std::string text) {
        member = std::move(text);
        return *this;
    }
};

struct RawReply {
    int status = 0;                              // 0: no answer
    std::map<std::string, std::string> headers;  // names in lower case
    std::string head;                            // the status line and headers as sent
    std::string body;
    std::chrono::nanoseconds took{0};

    std::string Header(const std::string& lower_case_name) const;
};

RawReply SendRaw(int port, const RawRequest& request);

}  // namespace zorbix::testing

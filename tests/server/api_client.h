// Calls a zorbix-server on a loopback port as a browser or a script
// would: each call on a connection of its own, none waiting long for an
// answer, so a killed server ends a call instead of hanging it.
#pragma once

#include <optional>
#include <string>

#include "tests/server/server_fixture.h"

namespace zorbix::testing {

class ApiClient {
public:
    explicit ApiClient(int port) : port_(port) {}

    // The answer; status 0 when none came. A body goes as `type`.
    Reply Call(const std::string& method, const std::string& path,
               const BrowserSession* who = nullptr, const std::string& body = "",
               const std::string& type = "application/json") const;
    // The session of the account, none when the login was not answered 200.
    std::optional<BrowserSession> Login(const std::string& name, const std::string& password) const;

private:
    int port_;
};

}  // namespace zorbix::testing

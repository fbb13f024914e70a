// A server in the test's own process on a free loopback port, over a
// temporary program directory, with a clock the test sets, and a client
// that calls it as a browser or script would.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "accounts/role.h"
#include "server/shared_store.h"
#include "server/zorbix_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {

// What a browser holds after logging in.
struct BrowserSession {
    std::string cookie;  // "zorbix_session=…"
    std::string csrf;
};

struct Reply {
    int status = 0;
    std::string body;
    httplib::Headers headers;

    std::string Header(const std::string& name) const;
    // The JSON body ("{}" when it is none).
    nlohmann::json Json() const;
};

class ServerFixture : public ::testing::Test {
protected:
    ServerFixture();
    ~ServerFixture() override;

    void AddAccount(const std::string& name, accounts::Role role, const std::string& unit,
                    const std::string& password);
    // An empty project of that number, owned by `unit` unless it is "".
    void AddProject(const std::string& number, const std::string& unit);
    // A demo project that passes every rule, owned by `unit`.
    void AddDemoProject(const std::string& number, const std::string& unit);

    // Calls the server; the session's cookie goes along, and its CSRF token
    // unless `with_csrf` is false. A non-empty body is sent as JSON.
    Reply Call(const std::string& method, const std::string& path,
               const BrowserSession* session = nullptr, const std::string& body = "",
               bool with_csrf = true);
    // POSTs `bytes` as a file upload's body (a workbook, an exchange file).
    Reply Upload(const std::string& path, const BrowserSession* session, const std::string& bytes,
                 const std::string& content_type = "application/octet-stream");
    // POSTs only the headers of a request declaring a body of `length`
    // bytes, sends none of it, and answers the status line's status (0 when
    // the server answers none within a few seconds). `expect_continue`: the
    // request waits for "100 Continue" before it would send the body.
    int StatusForDeclaredLength(const std::string& path, const BrowserSession* session,
                                std::size_t length, bool expect_continue = false);
    // The version a read of the project answers (-1 when the read fails).
    std::int64_t VersionOf(const std::string& number, const BrowserSession& who);
    // Saves the values over the version the session reads first.
    Reply SaveFresh(const BrowserSession& who, const std::string& number,
                    const nlohmann::json& values);
    Reply LoginReply(const std::string& name, const std::string& password);
    // Logs in and fails the test unless that worked.
    BrowserSession Login(const std::string& name, const std::string& password);

    // Stops the server and answers what it logged: lines are written after
    // their answers, so only a stopped server's log is whole.
    std::string StoppedLog();

    TempDir dir_;
    std::atomic<std::int64_t> now_{1'700'000'000};
    std::ostringstream log_;
    server::SharedStore store_;
    server::ZorbixServer server_;
    int port_ = -1;
    std::thread serving_;
};

}  // namespace zorbix::testing

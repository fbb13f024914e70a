// Requests meant to wear the server down: bodies beyond their limit, JSON
// nested without end, and thousands of connections that never say a word.
// Each is refused or cut off, the server stays up, and a normal client is
// served meanwhile.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "server/security_headers.h"
#include "tests/server/raw_request.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using namespace std::chrono_literals;

const std::string kOwn = "201300000001";

class LargeRequests : public ServerFixture {
protected:
    LargeRequests() {
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddProject(kOwn, "甲单位");
        unit_ = Login("unit", "unit-password");
    }

    RawReply Put(const std::string& body) {
        return SendRaw(port_, RawRequest()
                                  .Method("PUT")
                                  .Target("/api/projects/" + kOwn)
                                  .Cookie(unit_.cookie)
                                  .Csrf(unit_.csrf)
                                  .Body(body));
    }

    // The server still answers, and the project is as it was.
    void ExpectStillServing() {
        EXPECT_EQ(Call("GET", "/api/projects/" + kOwn, &unit_).Json()["values"]["JB01"],
                  "项目" + kOwn);
    }

    BrowserSession unit_;
};

TEST_F(LargeRequests, AJsonBodyDeclaredBeyondItsLimitIsRefusedBeforeItIsRead) {
    for (const char* path : {"/api/projects/201300000001", "/api/login", "/api/projects",
                             "/api/projects/201300000001/return", "/api/accounts"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(StatusForDeclaredLength(path, &unit_, server::kMaxBodyBytes + 1), 413);
        EXPECT_EQ(StatusForDeclaredLength(path, &unit_, 60 * 1024 * 1024), 413);
        EXPECT_EQ(StatusForDeclaredLength(path, nullptr, 60 * 1024 * 1024, true), 413);
    }
    ExpectStillServing();
}

TEST_F(LargeRequests, AJsonBodyBeyondItsLimitIsRefusedWhole) {
    const std::string values = R"({"version":1,"values":{"JB01":")" +
                               std::string(server::kMaxBodyBytes + 1024, 'x') + R"("}})";
    const RawReply reply = Put(values);
    EXPECT_EQ(reply.status, 413) << reply.body.substr(0, 200);
    EXPECT_EQ(reply.Header("content-type"), "application/json; charset=utf-8");
    ExpectStillServing();
}

TEST_F(LargeRequests, JsonNestedTenThousandDeepIsRefusedWithoutACrash) {
    const std::string arrays =
        R"({"version":1,"values":)" + std::string(10000, '[') + std::string(10000, ']') + "}";
    std::string objects = R"({"version":1,"values":)";
    for (int i = 0; i < 10000; ++i) objects += R"({"a":)";
    objects += "1" + std::string(10000, '}') + "}";
    for (const std::string& body : {arrays, objects}) {
        const RawReply reply = Put(body);
        EXPECT_EQ(reply.status, 400) << reply.body;
        EXPECT_EQ(reply.body, R"({"error":"请求内容的JSON嵌套过深。"})");
    }
    // Unclosed, and nested inside a text's quotes (not nesting at all).
    EXPECT_EQ(Put(std::string(100000, '[')).status, 400);
    ExpectStillServing();
    const RawReply in_text =
        Put(R"({"version":1,"values":{"JB01":")" + std::string(10000, '[') + R"("}})");
    EXPECT_EQ(in_text.status, 200) << in_text.body;
}

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Room for the idle connections' two ends in this one process.
int RaiseOpenFileLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::getrlimit(RLIMIT_NOFILE, &limit);
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
}

TEST_F(LargeRequests, ThousandsOfSilentConnectionsDoNotKeepANormalClientWaiting) {
    // Each silent connection takes two descriptors here (both ends), and
    // the server needs some of its own.
    const int wanted = std::min(2000, (RaiseOpenFileLimit() - 200) / 2);
    ASSERT_GE(wanted, 400) << "too few file descriptors for the test";
    std::vector<int> silent;
    for (int i = 0; i < wanted; ++i)
        if (const int fd = Connect(port_); fd >= 0) silent.push_back(fd);
    EXPECT_EQ(static_cast<int>(silent.size()), wanted);
    std::this_thread::sleep_for(200ms);  // let the server take them in

    const auto start = std::chrono::steady_clock::now();
    const Reply reply = Call("GET", "/api/projects/" + kOwn, &unit_);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(reply.status, 200) << reply.body;
    // Served before the quiet limit (5 seconds) could have cut off a single
    // silent connection: it did not wait for them to go.
    EXPECT_LT(took, 5s) << "a normal client waited "
                        << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
                        << " ms behind " << silent.size() << " silent connections";
    for (const int fd : silent) ::close(fd);
}

}  // namespace
}  // namespace zorbix::testing

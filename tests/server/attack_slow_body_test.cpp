// A client that sends its headers and then its body a little at a time,
// or part of it and then nothing: the connection is cut off once it has
// been silent for the quiet limit, the request is never handled, and
// other clients are served meanwhile.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <sstream>
#include <thread>

#include "server/shared_store.h"
#include "server/zorbix_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
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

// What the server sends before it closes, or nullopt when it is still
// open after `within`.
std::optional<std::string> AnswerUntilClosed(int fd, std::chrono::seconds within) {
    timeval wait{static_cast<time_t>(within.count()), 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::string answer;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got == 0) return answer;
        if (got < 0) return errno == ECONNRESET ? std::optional(answer) : std::nullopt;
        answer.append(buffer, static_cast<std::size_t>(got));
    }
}

TEST(SlowBodies, APartBodyFollowedBySilenceIsCutOffUnhandled) {
    TempDir dir;
    server::SharedStore store(dir.path(), accounts::SystemClock(), TestDatabaseFor(dir.path()));
    server::ServerOptions options;
    options.quiet_limit = 1s;
    std::ostringstream log;
    server::ZorbixServer server(store, options, log, accounts::SystemClock());
    const int port = server.BindToAnyPort("127.0.0.1");
    std::thread serving([&] { server.Serve(); });
    while (!server.IsRunning()) std::this_thread::sleep_for(1ms);

    const int slow = Connect(port);
    const std::string start =
        "POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
        "Content-Length: 100\r\n\r\n{\"name\":";
    ASSERT_EQ(::send(slow, start.data(), start.size(), 0), static_cast<ssize_t>(start.size()));

    httplib::Client other("127.0.0.1", port);
    const auto served = other.Get("/api/catalogue");
    ASSERT_TRUE(served);
    EXPECT_EQ(served->status, 401);

    const auto answer = AnswerUntilClosed(slow, 4s);
    ASSERT_TRUE(answer) << "a body that stopped kept its connection";
    EXPECT_EQ(answer->find("HTTP/1.1 200"), std::string::npos) << *answer;
    EXPECT_EQ(answer->find("HTTP/1.1 401"), std::string::npos) << "the half body was handled";
    ::close(slow);
    server.Stop();
    serving.join();
}

}  // namespace
}  // namespace zorbix::testing

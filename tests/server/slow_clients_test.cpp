// Clients that hold a connection without finishing their request, or stay
// silent on it, lose it after the quiet limit; others are served meanwhile.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "server/shared_store.h"
#include "server/zorbix_server.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// True when the server closes the connection within `within`.
bool ClosedWithin(int fd, std::chrono::seconds within) {
    timeval wait{static_cast<time_t>(within.count()), 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got == 0) return true;  // closed by the server
        if (got < 0) return false;  // still open when the wait ran out
    }
}

TEST(SlowClients, HalfSentAndSilentConnectionsAreClosedAndOthersServed) {
    TempDir dir;
    server::SharedStore store(dir.path(), accounts::SystemClock());
    server::ServerOptions options;
    options.quiet_limit = 1s;
    std::ostringstream log;
    server::ZorbixServer server(store, options, log, accounts::SystemClock());
    const int port = server.BindToAnyPort("127.0.0.1");
    std::thread serving([&] { server.Serve(); });
    while (!server.IsRunning()) std::this_thread::sleep_for(1ms);

    std::vector<int> idle;
    for (int i = 0; i < 4; ++i) idle.push_back(Connect(port));  // never say a word
    const int half = Connect(port);
    const std::string start = "GET /api/catalogue HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    ASSERT_EQ(::send(half, start.data(), start.size(), 0), static_cast<ssize_t>(start.size()));

    httplib::Client other("127.0.0.1", port);
    const auto served = other.Get("/api/catalogue");
    ASSERT_TRUE(served);
    EXPECT_EQ(served->status, 401);

    EXPECT_TRUE(ClosedWithin(half, 3s)) << "a request without its end kept its connection";
    for (int fd : idle) EXPECT_TRUE(ClosedWithin(fd, 3s)) << "a silent connection stayed open";
    for (int fd : idle) ::close(fd);
    ::close(half);
    server.Stop();
    serving.join();
}

// Sends `lead` at once, then `trickle` a byte at a time, each well within
// the quiet limit, until the server closes the connection; answers how
// long that took (none when it was not closed within `within`).
std::optional<std::chrono::milliseconds> TrickledUntilClosed(int port, const std::string& lead,
                                                             const std::string& trickle,
                                                             std::chrono::seconds within) {
    const int fd = Connect(port);
    const auto start = std::chrono::steady_clock::now();
    ::send(fd, lead.data(), lead.size(), MSG_NOSIGNAL);
    std::optional<std::chrono::milliseconds> closed;
    for (std::size_t i = 0; std::chrono::steady_clock::now() - start < within; ++i) {
        char byte = trickle[i % trickle.size()];
        char answer[512];
        if (::send(fd, &byte, 1, MSG_NOSIGNAL) != 1 ||
            ::recv(fd, answer, sizeof answer, MSG_DONTWAIT) == 0) {
            closed = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            break;
        }
        std::this_thread::sleep_for(300ms);
    }
    ::close(fd);
    return closed;
}

// A client that spaces its bytes just inside the quiet limit would hold a
// worker for as long as it likes; the whole request has a deadline.
TEST(SlowClients, TrickledHeadersAndBodiesAreCutAtTheRequestDeadline) {
    TempDir dir;
    server::SharedStore store(dir.path(), accounts::SystemClock());
    server::ServerOptions options;
    options.quiet_limit = 2s;
    options.deadlines.base = 2s;
    options.deadlines.bytes_per_second = 1024;
    std::ostringstream log;
    server::ZorbixServer server(store, options, log, accounts::SystemClock());
    const int port = server.BindToAnyPort("127.0.0.1");
    std::thread serving([&] { server.Serve(); });
    while (!server.IsRunning()) std::this_thread::sleep_for(1ms);

    struct Case {
        const char* what;
        std::string lead;
        std::string trickle;
    };
    const Case cases[] = {
        {"headers", "GET /api/catalogue HTTP/1.1\r\nHost: 127.0.0.1\r\n", "X-Slow: a\r\n"},
        {"body",
         "POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
         "Content-Length: 200\r\n\r\n",
         " "},
    };
    for (const Case& c : cases) {
        const auto closed = TrickledUntilClosed(port, c.lead, c.trickle, 10s);
        ASSERT_TRUE(closed) << c.what << " arriving a byte at a time kept their connection";
        // The deadline and the watchdog's look once a second, no sooner.
        EXPECT_GE(*closed, 1900ms) << c.what;
        EXPECT_LE(*closed, 6s) << c.what;
    }

    // An answer after a slow but whole request still goes out, and the
    // next request on the same connection gets the time anew.
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    for (int i = 0; i < 3; ++i) {
        const auto served = client.Get("/api/catalogue");
        ASSERT_TRUE(served);
        EXPECT_EQ(served->status, 401);
        std::this_thread::sleep_for(1500ms);  // idle, inside the limits
    }
    server.Stop();
    serving.join();
}

}  // namespace
}  // namespace zorbix::testing

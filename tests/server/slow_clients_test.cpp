// Clients that hold a connection without finishing their request, or stay
// silent on it, lose it after the quiet limit; others are served meanwhile.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
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

}  // namespace
}  // namespace zorbix::testing

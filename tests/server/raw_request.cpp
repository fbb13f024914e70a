#include "tests/server/raw_request.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace zorbix::testing {
namespace {

int ConnectFrom(const std::string& from, int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<std::uint16_t>(port));
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string RequestText(const RawRequest& request) {
    std::string text = request.method + " " + request.target +
                       " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!request.cookie.empty()) text += "Cookie: " + request.cookie + "\r\n";
    if (request.send_csrf) text += "X-CSRF-Token: " + request.csrf + "\r\n";
    if (!request.body.empty() || request.declared_length)
        text += "Content-Type: application/json\r\n";
    const std::size_t length = request.declared_length.value_or(request.body.size());
    text += "Content-Length: " + std::to_string(length) + "\r\n\r\n";
    return request.declared_length ? text : text + request.body;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Status line and headers; the rest is the body (the server closes after it).
RawReply Parsed(const std::string& answer) {
    RawReply reply;
    const auto head_end = answer.find("\r\n\r\n");
    if (answer.size() < 12 || head_end == std::string::npos) return reply;
    reply.status = std::stoi(answer.substr(9, 3));
    reply.head = answer.substr(0, head_end + 2);
    std::size_t line = answer.find("\r\n") + 2;
    while (line < head_end) {
        const auto end = answer.find("\r\n", line);
        const auto colon = answer.find(':', line);
        if (colon < end)
            reply.headers[Lower(answer.substr(line, colon - line))] =
                answer.substr(colon + 2, end - colon - 2);
        line = end + 2;
    }
    reply.body = answer.substr(head_end + 4);
    return reply;
}

}  // namespace

std::string RawReply::Header(const std::string& lower_case_name) const {
    const auto it = headers.find(lower_case_name);
    return it == headers.end() ? "" : it->second;
}

RawReply SendRaw(int port, const RawRequest& request) {
    const auto start = std::chrono::steady_clock::now();
    const int fd = ConnectFrom(request.from, port);
    if (fd < 0) return {};
    const std::string text = RequestText(request);
    ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    std::string answer;
    char buffer[8192];
    for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    RawReply reply = Parsed(answer);
    reply.took = std::chrono::steady_clock::now() - start;
    return reply;
}

}  // namespace zorbix::testing

#include "server/request_deadlines.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <utility>
#include <vector>

namespace zorbix::server {
namespace {

// The deadlines and the connection of the request this thread works on.
thread_local RequestDeadlines* current_deadlines = nullptr;
thread_local const httplib::Request* current_request = nullptr;

std::string Key(const std::string& address, int port) {
    return address + " " + std::to_string(port);
}

std::string KeyOf(const httplib::Request& request) {
    return Key(request.remote_addr, request.remote_port);
}

// Address and port as the HTTP server names a client: numeric.
std::optional<std::string> PeerKey(int fd) {
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0) return std::nullopt;
    char host[NI_MAXHOST];
    char port[NI_MAXSERV];
    if (::getnameinfo(reinterpret_cast<sockaddr*>(&peer), size, host, sizeof host, port,
                      sizeof port, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return std::nullopt;
    return Key(host, std::atoi(port));
}

int LocalPort(int fd) {
    sockaddr_storage local{};
    socklen_t size = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0) return -1;
    if (local.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&local)->sin_port);
    if (local.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&local)->sin6_port);
    return -1;
}

// The server's connections now: the open sockets of this process whose
// own port is the listening one and that have a client.
std::unordered_map<std::string, int> ConnectionsOn(int port, int listening) {
    std::unordered_map<std::string, int> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string name = entry.path().filename().string();
        int fd = -1;
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc()) continue;
        if (fd == listening || LocalPort(fd) != port) continue;
        if (auto key = PeerKey(fd)) found.emplace(std::move(*key), fd);
    }
    return found;
}

// Shuts the connection down through a descriptor of its own, once it is
// sure the number still stands for that connection: the server may have
// closed it meanwhile and the number been given to another file.
bool ShutDown(int fd, int port, const std::string& key) {
    const int own = ::dup(fd);
    if (own < 0) return false;
    const bool same = LocalPort(own) == port && PeerKey(own) == key;
    if (same) ::shutdown(own, SHUT_RDWR);
    ::close(own);
    return same;
}

std::size_t DeclaredLength(const httplib::Request& request) {
    const std::string text = request.get_header_value("Content-Length");
    std::size_t length = 0;
    std::from_chars(text.data(), text.data() + text.size(), length);
    return length;
}

}  // namespace

RequestDeadlines::RequestDeadlines(DeadlineLimits limits) : limits_(limits) {}

RequestDeadlines::~RequestDeadlines() { Stop(); }

void RequestDeadlines::Watch(int listening_socket) {
    listening_socket_ = listening_socket;
    listening_port_ = LocalPort(listening_socket);
    if (listening_port_ < 0 || watchdog_.joinable()) return;
    stopping_ = false;
    watchdog_ = std::thread([this] { Run(); });
}

void RequestDeadlines::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (watchdog_.joinable()) watchdog_.join();
}

void RequestDeadlines::Run() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return stopping_; })) {
        lock.unlock();
        CutOverdue();
        lock.lock();
    }
}

std::chrono::milliseconds RequestDeadlines::AllowanceFor(std::size_t bytes) const {
    const std::size_t rate = limits_.bytes_per_second ? limits_.bytes_per_second : 1;
    return limits_.base + std::chrono::milliseconds(bytes * 1000 / rate);
}

void RequestDeadlines::Allow(const httplib::Request& request, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    connections_[KeyOf(request)].deadline = Clock::now() + AllowanceFor(bytes);
}

void RequestDeadlines::HeadersRead(const httplib::Request& request) {
    current_deadlines = this;
    current_request = &request;
    const std::size_t length = DeclaredLength(request);
    if (length == 0 && !request.has_header("Transfer-Encoding")) {
        // Nothing more to read: the request is whole.
        Working(request);
        return;
    }
    Allow(request, length);
}

void RequestDeadlines::Working(const httplib::Request& request) {
    std::lock_guard lock(mutex_);
    connections_[KeyOf(request)].deadline.reset();
}

void RequestDeadlines::Answering(const httplib::Request& request, std::size_t answer_bytes) {
    Allow(request, answer_bytes);
}

void RequestDeadlines::Answered(const httplib::Request& request) {
    current_deadlines = nullptr;
    current_request = nullptr;
    Allow(request, 0);  // for the next request on the connection
}

int RequestDeadlines::CutOverdue() {
    const auto live = ConnectionsOn(listening_port_, listening_socket_);
    const auto now = Clock::now();
    std::vector<std::pair<std::string, int>> overdue;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(connections_, [&](const auto& c) { return !live.contains(c.first); });
        for (const auto& [key, fd] : live) {
            auto [it, added] = connections_.try_emplace(key);
            if (added) it->second.deadline = now + limits_.base;
            if (it->second.deadline && now > *it->second.deadline) {
                overdue.emplace_back(key, fd);
                connections_.erase(it);
            }
        }
    }
    int cut = 0;
    for (const auto& [key, fd] : overdue) cut += ShutDown(fd, listening_port_, key) ? 1 : 0;
    return cut;
}

void NoteRequestRead() {
    if (current_deadlines && current_request) current_deadlines->Working(*current_request);
}

}  // namespace zorbix::server

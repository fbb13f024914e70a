#include "server/request_log.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>

namespace zorbix::server {
namespace {

using Clock = std::chrono::steady_clock;

// cpp-httplib runs a request's routing and its logging on one worker thread.
thread_local std::optional<Clock::time_point> request_start;

// A path may hold anything a client sent: control bytes would forge lines.
std::string Printable(const std::string& path) {
    constexpr std::size_t kMaxLogged = 200;
    std::string out;
    for (char c : path.substr(0, kMaxLogged))
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    if (path.size() > kMaxLogged) out += "…";
    return out;
}

}  // namespace

void NoteRequestStart() { request_start = Clock::now(); }

void LogRequest(std::ostream& log, const httplib::Request& request,
                const httplib::Response& response) {
    long long ms = 0;
    if (request_start)
        ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *request_start)
                 .count();
    request_start.reset();
    std::ostringstream line;
    line << Printable(request.method) << ' ' << Printable(request.path) << ' ' << response.status
         << ' ' << ms << "ms\n";
    static std::mutex one_line_at_a_time;
    std::lock_guard lock(one_line_at_a_time);
    log << line.str() << std::flush;
}

}  // namespace zorbix::server

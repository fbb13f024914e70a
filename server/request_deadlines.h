// A request must arrive whole within a time limit, and its answer must be
// taken within one, however the client spaces its bytes. The quiet limit
// holds each read and each write alone, so a client that sends a byte
// every few seconds would keep a worker for hours, and a few thousand
// such clients every worker. A watchdog looks at the server's connections
// once a second and shuts down those past their time. A request being
// worked on is never cut: its answer may take what the work takes.
//
// The server tells the deadlines what happens on each connection, which
// it knows by the client's address and port: the headers are read (the
// pre-routing handler), the body is read and the call works (the call's
// handler), the answer is made (the post-routing handler) and sent (the
// log line).
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>

#include "server/server_options.h"

namespace zorbix::server {

class RequestDeadlines {
public:
    explicit RequestDeadlines(DeadlineLimits limits);
    ~RequestDeadlines();
    RequestDeadlines(const RequestDeadlines&) = delete;
    RequestDeadlines& operator=(const RequestDeadlines&) = delete;

    // Starts the watchdog over the connections accepted on that socket.
    void Watch(int listening_socket);
    // Ends the watchdog; cuts nothing afterwards.
    void Stop();

    void HeadersRead(const httplib::Request& request);
    void Working(const httplib::Request& request);
    void Answering(const httplib::Request& request, std::size_t answer_bytes);
    void Answered(const httplib::Request& request);

    // One look at the connections: shuts down those past their time and
    // forgets those closed. Answers how many were shut down.
    int CutOverdue();

private:
    using Clock = std::chrono::steady_clock;
    // A connection without a deadline is being worked on.
    struct Connection {
        std::optional<Clock::time_point> deadline;
    };

    void Allow(const httplib::Request& request, std::size_t bytes);
    std::chrono::milliseconds AllowanceFor(std::size_t bytes) const;
    void Run();

    DeadlineLimits limits_;
    int listening_socket_ = -1;
    int listening_port_ = -1;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::unordered_map<std::string, Connection> connections_;  // by "address port"
    std::thread watchdog_;
};

// The call's handler has its request whole: the deadlines of the request
// on this thread, if any, stop counting for it.
void NoteRequestRead();

}  // namespace zorbix::server

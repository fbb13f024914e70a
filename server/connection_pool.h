// The workers that serve connections. cpp-httplib gives each accepted
// connection a worker, which it keeps while the client says nothing (up to
// the quiet limit). A fixed number of workers is therefore used up by
// clients that connect and stay silent, and everyone else waits behind
// them; this pool starts another worker whenever a connection finds every
// worker busy, up to a ceiling far beyond what a survey's units and office
// need, and lets the extra workers end once they have been idle a while.
// A waiting worker costs a thread; the store's lock still lets one request
// at a time work on the store.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace zorbix::server {

class ConnectionPool : public httplib::TaskQueue {
public:
    // `resident` workers stay; up to `most` run at once; each runs
    // `niceness` lower than the thread that made the pool.
    ConnectionPool(std::size_t resident, std::size_t most,
                   std::chrono::milliseconds retire_after = std::chrono::seconds(30),
                   int niceness = 0);
    ~ConnectionPool() override;
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    void enqueue(std::function<void()> job) override;
    // Runs the jobs already queued, then ends every worker.
    void shutdown() override;

    // Workers running now (for tests and the log).
    std::size_t Workers();

private:
    void StartWorker();
    void Work(int id);
    void JoinRetired();

    const std::size_t resident_;
    const std::size_t most_;
    const std::chrono::milliseconds retire_after_;
    const int niceness_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::map<int, std::thread> workers_;
    std::vector<int> retired_;  // ended, not yet joined
    std::size_t idle_ = 0;
    int next_id_ = 0;
    bool stopping_ = false;
};

}  // namespace zorbix::server

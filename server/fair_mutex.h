// A lock handed on in the order it was asked for. The store's one lock is
// wanted by hundreds of requests at once before a deadline; a plain mutex
// lets a thread that just arrived take it before those already waiting, so
// some saves waited four times as long as most. Here the releasing thread
// hands the lock to the longest waiter.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

namespace zorbix::server {

class FairMutex {
public:
    FairMutex() = default;
    FairMutex(const FairMutex&) = delete;
    FairMutex& operator=(const FairMutex&) = delete;

    void lock();
    void unlock();
    // How many threads wait for it now (for tests).
    std::size_t Waiting();

private:
    struct Waiter {
        std::condition_variable handed;
        bool owner = false;
    };

    std::mutex mutex_;
    bool held_ = false;
    std::deque<Waiter*> waiting_;
};

}  // namespace zorbix::server

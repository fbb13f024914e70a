// Turns at a few equal things (the store's reading connections), handed
// on in the order they were asked for. Hundreds of requests wait for a
// reading connection before a deadline; waiting for one chosen connection
// let requests that came later take it first, so that some opens waited a
// hundred times as long as most. Here a freed one goes to the longest
// waiter, whichever it is.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace zorbix::server {

class FairTurns {
public:
    // Turns at `count` things, numbered from 0.
    explicit FairTurns(std::size_t count);
    FairTurns(const FairTurns&) = delete;
    FairTurns& operator=(const FairTurns&) = delete;

    // A free one's number, waited for in turn when none is free.
    std::size_t Take();
    // Gives back one taken.
    void Give(std::size_t which);
    // How many threads wait for a turn now (for tests).
    std::size_t Waiting();

private:
    struct Waiter {
        std::condition_variable handed;
        std::optional<std::size_t> which;
    };

    std::mutex mutex_;
    std::vector<std::size_t> free_;
    std::deque<Waiter*> waiting_;
};

// A turn given back when it goes out of scope.
class Turn {
public:
    explicit Turn(FairTurns& turns) : turns_(turns), which_(turns.Take()) {}
    ~Turn() { turns_.Give(which_); }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

    std::size_t which() const { return which_; }

private:
    FairTurns& turns_;
    std::size_t which_;
};

}  // namespace zorbix::server

// A lock handed on in the order it was asked for. The store's one lock is
// wanted by hundreds of requests at once before a deadline; a plain mutex
// lets a thread that just arrived take it before those already waiting, so
// some saves waited four times as long as most. Here the releasing thread
// hands the lock to the longest waiter: it is the one turn of FairTurns.
#pragma once

#include <cstddef>

#include "server/fair_turns.h"

namespace zorbix::server {

class FairMutex {
public:
    FairMutex() = default;
    FairMutex(const FairMutex&) = delete;
    FairMutex& operator=(const FairMutex&) = delete;

    void lock() { turn_.Take(); }
    void unlock() { turn_.Give(0); }
    // How many threads wait for it now (for tests).
    std::size_t Waiting() { return turn_.Waiting(); }

private:
    FairTurns turn_{1};
};

}  // namespace zorbix::server

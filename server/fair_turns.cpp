#include "server/fair_turns.h"

namespace zorbix::server {

FairTurns::FairTurns(std::size_t count) {
    // The lowest numbers are taken first.
    for (std::size_t i = count; i > 0; --i) free_.push_back(i - 1);
}

std::size_t FairTurns::Take() {
    std::unique_lock guard(mutex_);
    if (!free_.empty() && waiting_.empty()) {
        const std::size_t which = free_.back();
        free_.pop_back();
        return which;
    }
    Waiter me;
    waiting_.push_back(&me);
    me.handed.wait(guard, [&] { return me.which.has_value(); });
    return *me.which;
}

void FairTurns::Give(std::size_t which) {
    std::lock_guard guard(mutex_);
    if (waiting_.empty()) {
        free_.push_back(which);
        return;
    }
    // Never free meanwhile: the first waiter has it from here.
    Waiter* next = waiting_.front();
    waiting_.pop_front();
    next->which = which;
    next->handed.notify_one();
}

std::size_t FairTurns::Waiting() {
    std::lock_guard guard(mutex_);
    return waiting_.size();
}

}  // namespace zorbix::server

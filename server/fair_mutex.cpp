#include "server/fair_mutex.h"

namespace zorbix::server {

void FairMutex::lock() {
    std::unique_lock guard(mutex_);
    if (!held_ && waiting_.empty()) {
        held_ = true;
        return;
    }
    Waiter me;
    waiting_.push_back(&me);
    me.handed.wait(guard, [&] { return me.owner; });
}

void FairMutex::unlock() {
    std::lock_guard guard(mutex_);
    if (waiting_.empty()) {
        held_ = false;
        return;
    }
    // Held all along: the first waiter owns it from here.
    Waiter* next = waiting_.front();
    waiting_.pop_front();
    next->owner = true;
    next->handed.notify_one();
}

std::size_t FairMutex::Waiting() {
    std::lock_guard guard(mutex_);
    return waiting_.size();
}

}  // namespace zorbix::server

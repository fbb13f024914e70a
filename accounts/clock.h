// The time the accounts reckon with, in whole seconds since the epoch. A
// function, so tests can let sessions and waits expire without waiting.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace zorbix::accounts {

using Clock = std::function<std::int64_t()>;

inline Clock SystemClock() {
    return [] {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
}

}  // namespace zorbix::accounts

// Waits for something another thread does: true once `condition` holds,
// false when it still does not after five seconds.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace zorbix::testing {

inline bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

}  // namespace zorbix::testing

#include "accounts/login_throttle.h"

#include <algorithm>

namespace zorbix::accounts {
namespace {

// Failures older than this are forgotten: a user who mistyped yesterday
// starts afresh.
constexpr std::int64_t kMemorySeconds = 60 * 60;
// Above this many remembered keys, old ones are swept out at once.
constexpr std::size_t kSweepAbove = 10000;

std::int64_t WaitAfter(int count, int free) {
    if (count < free) return 0;
    std::int64_t wait = kFirstWaitSeconds;
    for (int extra = count - free; extra > 0 && wait < kLongestWaitSeconds; --extra) wait *= 2;
    return std::min(wait, kLongestWaitSeconds);
}

}  // namespace

std::int64_t LoginThrottle::WaitSeconds(std::string_view account, std::string_view address) {
    std::lock_guard lock(mutex_);
    const std::int64_t now = clock_();
    return std::max(Remaining(accounts_, account, now), Remaining(addresses_, address, now));
}

void LoginThrottle::Failed(std::string_view account, std::string_view address) {
    std::lock_guard lock(mutex_);
    const std::int64_t now = clock_();
    Count(accounts_, account, kFreeAccountFailures, now);
    Count(addresses_, address, kFreeAddressFailures, now);
    if (accounts_.size() + addresses_.size() > kSweepAbove) {
        Forget(accounts_, now);
        Forget(addresses_, now);
    }
}

void LoginThrottle::Succeeded(std::string_view account) {
    std::lock_guard lock(mutex_);
    accounts_.erase(std::string(account));
}

std::int64_t LoginThrottle::Remaining(const Table& table, std::string_view key, std::int64_t now) {
    const auto it = table.find(std::string(key));
    if (it == table.end()) return 0;
    return std::max<std::int64_t>(0, it->second.until - now);
}

void LoginThrottle::Count(Table& table, std::string_view key, int free, std::int64_t now) {
    Failures& failures = table[std::string(key)];
    if (now - failures.last > kMemorySeconds) failures = {};
    ++failures.count;
    failures.last = now;
    failures.until = now + WaitAfter(failures.count, free);
}

void LoginThrottle::Forget(Table& table, std::int64_t now) {
    std::erase_if(table, [now](const auto& entry) {
        return now - entry.second.last > kMemorySeconds && entry.second.until <= now;
    });
}

}  // namespace zorbix::accounts

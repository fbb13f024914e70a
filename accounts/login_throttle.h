// Slows down password guessing: after a few failed logins of one account,
// or from one address, the next attempt must wait, longer after each
// further failure. Kept in memory (a restart forgets it, as it forgets
// nothing else that matters) and safe to use from several threads.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "accounts/clock.h"

namespace zorbix::accounts {

// Failures without a wait: of one account, and from one address (an office
// behind one router shares its address, so that allows more).
inline constexpr int kFreeAccountFailures = 5;
inline constexpr int kFreeAddressFailures = 20;
// The first wait, doubled with each further failure up to the longest.
inline constexpr std::int64_t kFirstWaitSeconds = 30;
inline constexpr std::int64_t kLongestWaitSeconds = 15 * 60;

class LoginThrottle {
public:
    explicit LoginThrottle(Clock clock) : clock_(std::move(clock)) {}

    // Seconds to wait before a login of this account from this address may
    // be tried; 0 when it may be tried now.
    std::int64_t WaitSeconds(std::string_view account, std::string_view address);
    void Failed(std::string_view account, std::string_view address);
    // A good password clears the account's failures; the address's stay, so
    // one known account does not open the way to guess others.
    void Succeeded(std::string_view account);

private:
    struct Failures {
        int count = 0;
        std::int64_t last = 0;   // time of the last failure
        std::int64_t until = 0;  // no attempt before this time
    };
    using Table = std::unordered_map<std::string, Failures>;

    static std::int64_t Remaining(const Table& table, std::string_view key, std::int64_t now);
    static void Count(Table& table, std::string_view key, int free, std::int64_t now);
    static void Forget(Table& table, std::int64_t now);

    Clock clock_;
    std::mutex mutex_;
    Table accounts_;
    Table addresses_;
};

}  // namespace zorbix::accounts

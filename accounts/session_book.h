// The sessions table: who is logged in. A session is known by a random
// 256-bit token that only its browser holds; the table keeps the token's
// digest, so a copy of the store opens no session. A session ends at
// logout, after kIdleSeconds without a request and kLifetimeSeconds after
// its login, whichever comes first. Each carries the CSRF token its changing
// requests must name.
//
// A session is resumed by every request, so resuming only reads: its last
// use is written when the one stored is kTouchSeconds old or more, and the
// expired sessions of others are swept out at most that often. An idle
// session thus ends between kIdleSeconds - kTouchSeconds and kIdleSeconds
// after its last request, never later.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "accounts/clock.h"
#include "store/database.h"

namespace zorbix::accounts {

inline constexpr std::int64_t kIdleSeconds = 30 * 60;
inline constexpr std::int64_t kLifetimeSeconds = 12 * 60 * 60;
inline constexpr std::int64_t kTouchSeconds = 60;

struct OpenedSession {
    std::string token;  // for the cookie; never stored
    std::string csrf;
};

struct Session {
    std::string account;
    std::string csrf;
    std::string digest;  // of the token, to end this session or keep it
};

class SessionBook {
public:
    // The server tables must exist (CreateServerTables).
    SessionBook(store::Database& db, Clock clock) : db_(db), clock_(std::move(clock)) {}

    OpenedSession Open(std::string_view account);
    // The live session of a token, its last use now; nullopt for an unknown
    // or expired one (an expired one is removed).
    std::optional<Session> Resume(std::string_view token);
    void Close(std::string_view token);
    // Ends every session of the account but the one of `keep_digest`: after
    // a password change, whoever knew the old one is logged out.
    void CloseOthers(std::string_view account, std::string_view keep_digest);

private:
    void RemoveExpired(std::int64_t now);
    void SweepNowAndThen(std::int64_t now);
    void Remove(std::string_view digest);

    store::Database& db_;
    Clock clock_;
    std::int64_t last_sweep_ = 0;
};

}  // namespace zorbix::accounts

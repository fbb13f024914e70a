// Who is asking: the session cookie, the CSRF token of changing requests,
// and the account behind them, checked on the server for every call.
#pragma once

#include <httplib.h>

#include <string>
#include <string_view>

#include "accounts/account_book.h"
#include "accounts/session_book.h"
#include "server/shared_store.h"

namespace zorbix::server {

inline constexpr std::string_view kSessionCookie = "zorbix_session";
inline constexpr const char* kCsrfHeader = "X-CSRF-Token";

struct Caller {
    accounts::Account account;
    accounts::Session session;

    bool IsUnit() const { return account.role == accounts::Role::Unit; }
};

// The session token the request's cookie carries; "" without one.
std::string SessionToken(const httplib::Request& request);

// The caller of a request, from its session: ApiError 401 without a live
// session; 403 for a changing request (anything but GET and HEAD) without
// the session's CSRF token; 403 while the account's one-time password is
// unchanged, unless the call is one that must work then (changing the
// password, logging out).
Caller RequireCaller(Books& parts, const httplib::Request& request,
                     bool before_password_change = false);

// The Set-Cookie values that hand a session to the browser and take it
// back: HttpOnly, SameSite=Strict, Secure when served over TLS.
std::string SessionCookie(std::string_view token, bool secure);
std::string ClearedSessionCookie(bool secure);

}  // namespace zorbix::server

// What every route of the server works with, and how a route is guarded:
// whatever it throws ends as a JSON error answer, never as a dropped
// connection or a crash.
#pragma once

#include <httplib.h>

#include <functional>

#include "accounts/login_throttle.h"
#include "server/findings_cache.h"
#include "server/json_body.h"
#include "server/office_lane.h"
#include "server/progress_caches.h"
#include "server/run_board.h"
#include "server/session_gate.h"
#include "server/shared_store.h"

namespace zorbix::server {

struct RouteContext {
    SharedStore& store;
    accounts::LoginThrottle throttle;
    bool secure_cookies = false;  // served over TLS
    FindingsCache findings;       // used under the store's lock
    RunBoard runs;                // the office's long runs in progress
    ProgressCaches progress;      // used under the store's lock
    OfficeLane lane;              // where the office's long runs work
};

using Route = std::function<void(const httplib::Request&, httplib::Response&)>;

// The route with its failures answered: a body beyond the call's limit
// (upload_limits.h) with 413, ApiError with its status and
// message, a failing store with 503 and the store's message, a body that
// is no valid JSON with 400, anything else with 500.
httplib::Server::Handler Guarded(Route route);

// A route whose answer is made under the store's lock for a logged-in
// caller: answer(parts, caller, request) gives the JSON sent with `status`.
template <class Answer>
Route Answering(RouteContext& context, int status, Answer answer) {
    return
        [&context, status, answer](const httplib::Request& request, httplib::Response& response) {
            const Json body = context.store.With([&](StoreParts& parts) {
                return answer(parts, RequireCaller(parts, request), request);
            });
            SendJson(response, status, body);
        };
}

// The same for a call that changes the store: its change is committed
// with the changes that queue beside it (SharedStore::Writing).
template <class Answer>
Route Changing(RouteContext& context, int status, Answer answer) {
    return
        [&context, status, answer](const httplib::Request& request, httplib::Response& response) {
            const Json body = context.store.Writing([&](StoreParts& parts) {
                return answer(parts, RequireCaller(parts, request), request);
            });
            SendJson(response, status, body);
        };
}

// The caller of a request that must come from the office (clerk or
// administrator), checked on a reading connection: ApiError 401 or 403.
Caller RequireOfficeCaller(RouteContext& context, const httplib::Request& request);
// The same for a request that must come from an administrator.
Caller RequireAdminCaller(RouteContext& context, const httplib::Request& request);

}  // namespace zorbix::server

// What every route of the server works with, and how a route is guarded:
// whatever it throws ends as a JSON error answer, never as a dropped
// connection or a crash.
#pragma once

#include <httplib.h>

#include <functional>

#include "accounts/login_throttle.h"
#include "server/shared_store.h"

namespace zorbix::server {

struct RouteContext {
    SharedStore& store;
    accounts::LoginThrottle throttle;
    bool secure_cookies = false;  // served over TLS
};

using Route = std::function<void(const httplib::Request&, httplib::Response&)>;

// The route with its failures answered: ApiError with its status and
// message, a failing store with 503 and the store's message, a body that
// is no valid JSON with 400, anything else with 500.
httplib::Server::Handler Guarded(Route route);

}  // namespace zorbix::server

// POST /api/login, /api/logout and /api/password.
#pragma once

#include <httplib.h>

#include "server/route_context.h"

namespace zorbix::server {

void AddAuthRoutes(httplib::Server& http, RouteContext& context);

}  // namespace zorbix::server

// GET and POST /api/projects, GET and PUT /api/projects/{n},
// GET /api/projects/{n}/findings.
#pragma once

#include <httplib.h>

#include "server/route_context.h"

namespace zorbix::server {

void AddProjectRoutes(httplib::Server& http, RouteContext& context);

}  // namespace zorbix::server

// GET /api/catalogue.
#pragma once

#include <httplib.h>

#include "server/route_context.h"

namespace zorbix::server {

void AddCatalogueRoutes(httplib::Server& http, RouteContext& context);

}  // namespace zorbix::server

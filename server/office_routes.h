// The office's calls that work on the survey as a whole rather than on one
// project: loading the plan workbook, and what builds on it.
#pragma once

#include <httplib.h>

#include "server/route_context.h"

namespace zorbix::server {

void AddOfficeRoutes(httplib::Server& http, RouteContext& context);

}  // namespace zorbix::server

// The office's calls that work on the survey as a whole rather than on one
// project: loading the plan workbook, and what builds on it.
#pragma once

#include <httplib.h>

#include "server/route_context.h"

namespace zorbix::server {

void AddOfficeRoutes(httplib::Server& http, RouteContext& context);

// Reads what the progress calls keep, so that the first call after the
// server starts does not read every project while a clerk waits for it.
// A failure is left to that call.
void WarmProgress(RouteContext& context);

}  // namespace zorbix::server

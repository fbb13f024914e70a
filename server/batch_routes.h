// The office's calls on many projects at once, each a long run
// (long_run.h): appending exchange files, checking all, the summaries, the
// reconciliation workbook and the project list; and the runs in progress.
// All of them for the office only (clerk or administrator).
#pragma once

#include <httplib.h>

#include "server/route_context.h"

namespace zorbix::server {

void AddBatchRoutes(httplib::Server& http, RouteContext& context);

}  // namespace zorbix::server

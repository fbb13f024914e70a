// The administrator's calls on accounts: the list of accounts, one new
// account, and the units' accounts in bulk from a workbook.
#pragma once

#include <httplib.h>

#include "server/route_context.h"

namespace zorbix::server {

void AddAccountRoutes(httplib::Server& http, RouteContext& context);

}  // namespace zorbix::server

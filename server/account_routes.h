// The administrator's calls on accounts: the list of accounts, one new
// account, and the units' accounts in bulk from a workbook.
#pragma once

#include <httplib.h>

#include "accounts/account_creation.h"
#include "server/json_body.h"
#include "server/route_context.h"

namespace zorbix::server {

// The account a body of POST /api/accounts {"name", "role", "unit"} asks
// for, checked as the accounts check a new one. Throws ApiError 400 for a
// role that is none of the three, a name or unit that is no text, or a
// name or unit the accounts refuse.
accounts::NewAccount NewAccountOf(const Json& body);

void AddAccountRoutes(httplib::Server& http, RouteContext& context);

}  // namespace zorbix::server

// GET /api/projects: the projects a caller may see, in store order.
#pragma once

#include "server/json_body.h"
#include "server/session_gate.h"
#include "server/shared_store.h"

namespace zorbix::server {

// {"projects": [{"number", "name", "unit", "state", "version", "last_change"}, …]}:
// every project for the office, a unit's own for a unit. "unit" is the
// owning unit ("" for none), "last_change" the time of its newest history
// line (null without one).
Json ProjectListJson(StoreParts& parts, const Caller& caller);

}  // namespace zorbix::server

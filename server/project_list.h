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
// The caller is that of `request`, checked under the store's lock. A
// unit's projects are read under the lock and their findings counted
// after it, so that other requests do not wait for the rule sets.
Json ProjectListJson(SharedStore& store, const httplib::Request& request);

}  // namespace zorbix::server

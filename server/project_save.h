// PUT /api/projects/{n}: saving the given columns of a project, as typing
// them into the window's pages and writing the record back does, and the
// findings of the pages touched. Saving never waits for the findings to be
// gone: a draft is kept as it is.
#pragma once

#include <string>

#include "server/json_body.h"
#include "server/session_gate.h"
#include "server/shared_store.h"

namespace zorbix::server {

// Saves body["values"] ({COLUMN: text}) into the project the caller may
// reach and answers {"version", "state", "findings"}. Throws ApiError: 404
// for a project out of reach, 403 for a unit's project it may no longer
// change, 400 for an unknown column, a text that is none or the project
// number, 422 for a value the store refuses; nothing is saved then.
Json SaveProject(StoreParts& parts, const Caller& caller, const std::string& number,
                 const Json& body);

}  // namespace zorbix::server

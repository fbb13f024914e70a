// POST /api/projects/{n}/submit: a unit hands its project to the office.
// The four rule sets run first, as the office would run them, and a
// project with any finding stays where it is; otherwise it becomes 已上报,
// with its history line, in one transaction.
#pragma once

#include <string>

#include "server/json_body.h"
#include "server/session_gate.h"
#include "server/shared_store.h"

namespace zorbix::server {

// Answers {"number", "state", "version"} once submitted. Throws ApiError:
// 403 for a caller who is no unit, or for a project in a state the unit
// may no longer change (naming the state); 404 for a project out of reach;
// 422 with the findings ({"error", "findings"}, as the findings call
// answers them) while any remains.
Json SubmitProject(StoreParts& parts, const Caller& caller, const std::string& number);

}  // namespace zorbix::server

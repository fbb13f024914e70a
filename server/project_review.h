// The office's review of a submitted project: POST /api/projects/{n}/return
// sends it back to its unit with a comment on the project and optionally
// on single columns (退回修改); POST /api/projects/{n}/approve accepts it
// (已审核). Both only from 已上报, both for the office alone; each writes
// the state, its history lines and the notes in one transaction.
#pragma once

#include <string>

#include "accounts/review_notes.h"
#include "server/json_body.h"
#include "server/session_gate.h"
#include "server/shared_store.h"

namespace zorbix::server {

// The comments of a return's body {"comment", "fields": {COLUMN: comment}},
// trimmed; field comments left empty are dropped. Throws ApiError 400 for
// a missing or empty comment, an unknown column or a comment that is no
// text.
accounts::ReviewComments ReturnComments(const Json& body);

// Returns the project with body {"comment", "fields": {COLUMN: comment}}
// and answers {"number", "state", "version"}. The values the project holds
// now are kept, so the office later sees what the unit changed. Throws
// ApiError: 403 for a unit, 404 for a missing project, 400 for a missing
// or empty comment, an unknown column or a field comment that is no text,
// 422 naming the state when the project is not 已上报.
Json ReturnProject(StoreParts& parts, const Caller& caller, const std::string& number,
                   const Json& body);

// Approves the project; body may hold an optional {"comment"} for the
// history. Answers and throws as ReturnProject, but needs no comment.
Json ApproveProject(StoreParts& parts, const Caller& caller, const std::string& number,
                    const Json& body);

// {"project": "…", "fields": {COLUMN: "…"}}: the comments of the
// project's last return ("" and {} when it was never returned).
Json CommentsJson(Books& parts, const std::string& number);

// The names of the columns whose values differ from those the project held
// at its last return, in catalogue order; [] when it was never returned.
Json ChangedSinceReturnJson(Books& parts, const std::string& number, const store::Record& record);

}  // namespace zorbix::server

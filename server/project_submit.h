// POST /api/projects/{n}/submit: a unit hands its project to the office.
// The four rule sets run first, as the office would run them, and a
// project with any finding stays where it is; otherwise it becomes 已上报,
// with its history line, in one transaction.
#pragma once

#include <cstdint>
#include <string>

#include "server/json_body.h"
#include "server/session_gate.h"
#include "server/shared_store.h"
#include "store/record.h"

namespace zorbix::server {

// A submit runs in three steps, so that the rule sets do not hold up other
// requests: the project is read on a reading connection (ReadForSubmit),
// checked without it (RequireNoFindings), and its state changed under the
// lock again (FinishSubmit), which checks again what changed meanwhile.
struct SubmitReading {
    Caller caller;
    std::string number;
    store::Record record;
    std::int64_t version = 0;
};

// Throws ApiError 403 for a caller who is no unit, or for a project in a
// state the unit may no longer change (naming the state); 404 for a
// project out of reach.
SubmitReading ReadForSubmit(ReaderParts& reader, const Caller& caller, const std::string& number);

// ApiError 422 with the findings ({"error", "findings"}, as the findings
// call answers them) while any remains.
void RequireNoFindings(const std::string& number, const store::Record& record);

// Answers {"number", "state", "version"} once submitted; throws as the
// steps before do when the project changed meanwhile.
Json FinishSubmit(StoreParts& parts, const SubmitReading& reading);

}  // namespace zorbix::server

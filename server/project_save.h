// PUT /api/projects/{n}: saving the given columns of a project, as typing
// them into the window's pages and writing the record back does, and the
// findings of the pages touched. Saving never waits for the findings to be
// gone: a draft is kept as it is.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "server/json_body.h"
#include "server/session_gate.h"
#include "server/shared_store.h"
#include "store/catalogue.h"
#include "store/record.h"

namespace zorbix::server {

// The columns and texts of body["values"] of a save of project `number`,
// each checked as the store checks a value. Throws ApiError 400 for a
// missing "values" object, an unknown column, a text that is none or the
// project number, 422 for a value the store refuses.
using SaveValues = std::vector<std::pair<int, std::string>>;
SaveValues ValuesToSave(const Json& body, const std::string& number);

// Saves body["values"] ({COLUMN: text}) into the project the caller may
// reach, over body["version"], the version the caller read, and answers
// {"version", "state", "findings"} with the version after the save. The
// change history names the caller's account. Throws ApiError: 404 for a
// project out of reach, 403 for a unit's project it may no longer change,
// 400 for a missing version, an unknown column, a text that is none or the
// project number, 422 for a value the store refuses, 409 when the project
// changed since that version (naming who and when, with the project's
// current version and values as "current"); nothing is saved then.
// It is done in two steps, so that the rule sets run after the store's
// lock is given back: SavePage writes under the lock, SaveAnswer adds the
// findings of the pages touched.
struct SavedPage {
    Json answer;  // {"version", "state"}
    store::Record record;
    std::set<store::Page> pages;  // whose rule sets the answer carries
};
SavedPage SavePage(StoreParts& parts, const Caller& caller, const std::string& number,
                   const Json& body);
Json SaveAnswer(const SavedPage& saved);

}  // namespace zorbix::server

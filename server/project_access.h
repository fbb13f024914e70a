// Which projects a caller may reach. A unit reaches only its own: for any
// other number it gets exactly what a number that does not exist gets, and
// in the same way, so neither the answer nor its timing tells them apart.
#pragma once

#include <string>
#include <string_view>

#include "server/session_gate.h"
#include "server/shared_store.h"

namespace zorbix::server {

// ApiError 404 for a number no project can have (not UTF-8, a NUL in it),
// as for a number that is not there.
void RequireStorableNumber(const std::string& number);

// The position of the project the caller may reach; ApiError 404 otherwise.
int ReachableProject(StoreParts& parts, const Caller& caller, const std::string& number);

// The same with the project's state, read with the owner in one go.
struct ReachedProject {
    int position = 0;
    accounts::ProjectState state = accounts::ProjectState::NotStarted;
};
ReachedProject ReachableProjectWithState(StoreParts& parts, const Caller& caller,
                                         const std::string& number);

// ApiError 403 unless the caller works for the office (clerk or admin).
void RequireOffice(const Caller& caller);

// ApiError 403 unless the caller is an administrator.
void RequireAdmin(const Caller& caller);

}  // namespace zorbix::server

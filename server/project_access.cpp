#include "server/project_access.h"

#include "base/utf8.h"
#include "server/api_error.h"

namespace zorbix::server {

void RequireStorableNumber(const std::string& number) {
    // A number that is not UTF-8 or holds a NUL is no stored project's: a
    // PostgreSQL store would not even look it up, but fail.
    if (!base::IsUtf8(number) || number.find('\0') != std::string::npos) NoSuchProject(number);
}

namespace {

// What others changed meanwhile (a shared store tells) is taken in first.
int PositionOf(StoreParts& parts, const std::string& number) {
    parts.records().FollowChanges();
    const int position = parts.positions.Of(number);
    if (position == 0) NoSuchProject(number);
    return position;
}

}  // namespace

int ReachableProject(StoreParts& parts, const Caller& caller, const std::string& number) {
    RequireStorableNumber(number);
    // For a unit the owner table decides first: a missing number and another
    // unit's take the same path from here.
    if (caller.IsUnit() && !parts.owners.Owns(caller.account.unit, number)) NoSuchProject(number);
    return PositionOf(parts, number);
}

ReachedProject ReachableProjectWithState(StoreParts& parts, const Caller& caller,
                                         const std::string& number) {
    RequireStorableNumber(number);
    ReachedProject reached;
    if (caller.IsUnit()) {
        const auto state = parts.states.StateIfOwnedBy(caller.account.unit, number);
        if (!state) NoSuchProject(number);
        reached.state = *state;
    } else {
        reached.state = parts.states.StateOf(number);
    }
    reached.position = PositionOf(parts, number);
    return reached;
}

void RequireOffice(const Caller& caller) {
    if (!accounts::SeesEveryProject(caller.account.role)) NotAllowed();
}

void RequireAdmin(const Caller& caller) {
    if (caller.account.role != accounts::Role::Admin) NotAllowed();
}

}  // namespace zorbix::server

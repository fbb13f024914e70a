// What a unit's list shows of each of its projects besides the record:
// its state, the newest change-history line about its values (its version
// on an SQLite store) and the time of its newest history line of any kind
// (the last written).
// One query for all of a unit's projects: a list of sixteen projects asked
// one by one took some sixty round trips to the database.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "accounts/project_states.h"
#include "store/database.h"

namespace zorbix::server {

struct ListedFacts {
    accounts::ProjectState state = accounts::ProjectState::NotStarted;
    std::int64_t newest_value_line = 0;  // 0: none
    std::optional<std::string> last_change;
};

// By project number, for every project the unit owns.
std::unordered_map<std::string, ListedFacts> FactsOfUnitsProjects(store::Database& db,
                                                                  const std::string& unit);

}  // namespace zorbix::server

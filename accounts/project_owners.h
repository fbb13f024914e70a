// Which unit a project belongs to, in a table of its own beside kjxmzxqk
// keyed by the project number as stored. A project without a line belongs
// to no unit: only the office sees it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/database.h"

namespace zorbix::accounts {

class ProjectOwners {
public:
    // The server tables must exist (CreateServerTables).
    explicit ProjectOwners(store::Database& db) : db_(db) {}

    std::optional<std::string> OwnerOf(std::string_view project);
    bool Owns(std::string_view unit, std::string_view project);
    void SetOwner(std::string_view project, std::string_view unit);
    // The numbers of the unit's projects, in no particular order.
    std::vector<std::string> ProjectsOf(std::string_view unit);
    // Every project number with its unit.
    std::unordered_map<std::string, std::string> All();

private:
    store::Database& db_;
};

}  // namespace zorbix::accounts

// Where each project stands in the survey, in a table of its own beside
// kjxmzxqk keyed by the project number as stored. A project without a line
// has not been filled in through the server: 未填报.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/database.h"

namespace zorbix::accounts {

enum class ProjectState {
    NotStarted,  // 未填报: a planned shell, nothing saved yet
    Drafting,    // 填报中: saved, not submitted
    Submitted,   // 已上报
    Returned,    // 退回修改: returned by the office with comments
    Approved,    // 已审核
};

std::string_view StateCode(ProjectState state);     // as stored: "drafting", ...
std::string_view StateCaption(ProjectState state);  // as shown: "填报中", ...
// The state stored as `code`; 未填报 for none or an unknown code.
ProjectState StateFromCode(std::string_view code);

// The states in which a unit may still change its project.
bool UnitMayEdit(ProjectState state);

class ProjectStates {
public:
    // The server tables must exist (CreateServerTables).
    explicit ProjectStates(store::Database& db) : db_(db) {}

    ProjectState StateOf(std::string_view project);
    // The project's state when `unit` owns it (project_owners), else none:
    // a unit's change asks both, in one read.
    std::optional<ProjectState> StateIfOwnedBy(std::string_view unit, std::string_view project);
    void SetState(std::string_view project, ProjectState state);
    // Every project number that has a line, with its state.
    std::unordered_map<std::string, ProjectState> All();

private:
    store::Database& db_;
};

}  // namespace zorbix::accounts

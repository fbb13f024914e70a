#include "accounts/project_states.h"

namespace zorbix::accounts {
namespace {

struct StateNames {
    ProjectState state;
    std::string_view code;
    std::string_view caption;
};

constexpr StateNames kStates[] = {
    {ProjectState::NotStarted, "not_started", "未填报"},
    {ProjectState::Drafting, "drafting", "填报中"},
    {ProjectState::Submitted, "submitted", "已上报"},
    {ProjectState::Returned, "returned", "退回修改"},
    {ProjectState::Approved, "approved", "已审核"},
};

const StateNames& NamesOf(ProjectState state) {
    for (const auto& names : kStates)
        if (names.state == state) return names;
    return kStates[0];
}

}  // namespace

ProjectState StateFromCode(std::string_view code) {
    for (const auto& names : kStates)
        if (names.code == code) return names.state;
    return ProjectState::NotStarted;
}

std::string_view StateCode(ProjectState state) { return NamesOf(state).code; }

std::string_view StateCaption(ProjectState state) { return NamesOf(state).caption; }

bool UnitMayEdit(ProjectState state) {
    return state == ProjectState::NotStarted || state == ProjectState::Drafting ||
           state == ProjectState::Returned;
}

ProjectState ProjectStates::StateOf(std::string_view project) {
    store::Statement select(db_, "SELECT state FROM project_states WHERE project = ?1");
    select.Bind(1, project);
    if (!select.Step()) return ProjectState::NotStarted;
    const ProjectState state = StateFromCode(select.Text(0));
    select.Reset();
    return state;
}

std::optional<ProjectState> ProjectStates::StateIfOwnedBy(std::string_view unit,
                                                          std::string_view project) {
    store::Statement select(db_,
                            "SELECT coalesce(s.state, '') FROM project_owners o LEFT JOIN "
                            "project_states s ON s.project = o.project "
                            "WHERE o.project = ?1 AND o.unit = ?2");
    select.Bind(1, project);
    select.Bind(2, unit);
    if (!select.Step()) return std::nullopt;
    const ProjectState state = StateFromCode(select.Text(0));
    select.Reset();
    return state;
}

void ProjectStates::SetState(std::string_view project, ProjectState state) {
    store::Statement upsert(db_,
                            "INSERT INTO project_states (project, state) VALUES (?1, ?2) "
                            "ON CONFLICT (project) DO UPDATE SET state = excluded.state");
    upsert.Bind(1, project);
    upsert.Bind(2, StateCode(state));
    upsert.Run();
}

std::unordered_map<std::string, ProjectState> ProjectStates::All() {
    store::Statement select(db_, "SELECT project, state FROM project_states");
    std::unordered_map<std::string, ProjectState> states;
    while (select.Step()) states.emplace(select.Text(0), StateFromCode(select.Text(1)));
    return states;
}

}  // namespace zorbix::accounts

#include "accounts/project_owners.h"

namespace zorbix::accounts {

std::optional<std::string> ProjectOwners::OwnerOf(std::string_view project) {
    store::Statement select(db_, "SELECT unit FROM project_owners WHERE project = ?1");
    select.Bind(1, project);
    if (!select.Step()) return std::nullopt;
    std::string unit(select.Text(0));
    select.Reset();
    return unit;
}

bool ProjectOwners::Owns(std::string_view unit, std::string_view project) {
    const auto owner = OwnerOf(project);
    return owner && *owner == unit;
}

void ProjectOwners::SetOwner(std::string_view project, std::string_view unit) {
    store::Statement upsert(db_,
                            "INSERT INTO project_owners (project, unit) VALUES (?1, ?2) "
                            "ON CONFLICT (project) DO UPDATE SET unit = excluded.unit");
    upsert.Bind(1, project);
    upsert.Bind(2, unit);
    upsert.Run();
}

std::vector<std::string> ProjectOwners::ProjectsOf(std::string_view unit) {
    store::Statement select(db_, "SELECT project FROM project_owners WHERE unit = ?1");
    select.Bind(1, unit);
    std::vector<std::string> projects;
    while (select.Step()) projects.emplace_back(select.Text(0));
    return projects;
}

std::unordered_map<std::string, std::string> ProjectOwners::All() {
    store::Statement select(db_, "SELECT project, unit FROM project_owners");
    std::unordered_map<std::string, std::string> owners;
    while (select.Step()) owners.emplace(select.Text(0), select.Text(1));
    return owners;
}

}  // namespace zorbix::accounts

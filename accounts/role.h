// The three roles of the server's accounts, as stored ("unit", "clerk",
// "admin") and as shown (填报单位, 审核员, 管理员).
#pragma once

#include <optional>
#include <string_view>

namespace zorbix::accounts {

enum class Role {
    Unit,   // a reporting unit: only its own projects
    Clerk,  // an office clerk: every project
    Admin,  // an office administrator: what a clerk may, and accounts
};

std::string_view RoleCode(Role role);
std::string_view RoleCaption(Role role);
// nullopt for a text that is no role's code.
std::optional<Role> RoleFromCode(std::string_view code);

// Clerks and administrators work on every project of the survey.
inline bool SeesEveryProject(Role role) { return role != Role::Unit; }

}  // namespace zorbix::accounts

#include "accounts/role.h"

namespace zorbix::accounts {
namespace {

struct RoleNames {
    Role role;
    std::string_view code;
    std::string_view caption;
};

constexpr RoleNames kRoles[] = {
    {Role::Unit, "unit", "填报单位"},
    {Role::Clerk, "clerk", "审核员"},
    {Role::Admin, "admin", "管理员"},
};

const RoleNames& NamesOf(Role role) {
    for (const auto& names : kRoles)
        if (names.role == role) return names;
    return kRoles[0];
}

}  // namespace

std::string_view RoleCode(Role role) { return NamesOf(role).code; }

std::string_view RoleCaption(Role role) { return NamesOf(role).caption; }

std::optional<Role> RoleFromCode(std::string_view code) {
    for (const auto& names : kRoles)
        if (names.code == code) return names.role;
    return std::nullopt;
}

}  // namespace zorbix::accounts

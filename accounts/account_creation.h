// Making an account as the batch tool and the server's first start do: the
// rules for names, units and passwords, and the one-time password when no
// password is given.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "accounts/account_book.h"
#include "accounts/role.h"

namespace zorbix::accounts {

inline constexpr std::size_t kMaxNameCharacters = 64;

struct NewAccount {
    std::string name;
    Role role = Role::Unit;
    std::string unit;                     // required for a unit account, else empty
    std::optional<std::string> password;  // nullopt: make a one-time password
};

// What is wrong with an account or unit name (`what` names which, "账户名"
// or "单位名称"); nullopt when it may be used.
std::optional<std::string> NameProblem(std::string_view what, std::string_view name);

// What is wrong with the account's name, unit or given password, as the
// user's message; nullopt when it may be made (its name may still be taken).
std::optional<std::string> AccountProblem(const NewAccount& account);

// Adds the account. Returns the one-time password it was given, or "" when
// the caller chose the password (which is then kept as given and need not
// be changed). Throws base::Failure with the user's message for a bad name,
// unit or password, or a name that is taken; nothing is added then.
std::string CreateAccount(AccountBook& book, const NewAccount& account);

}  // namespace zorbix::accounts

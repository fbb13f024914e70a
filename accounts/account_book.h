// The accounts table: who may log in, with which password hash, role and
// unit. Plain reads and writes; the rules for new accounts are in
// account_creation.h. Fails with store::SqliteError when the store does.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accounts/role.h"
#include "store/database.h"

namespace zorbix::accounts {

struct Account {
    std::string name;
    std::string password_hash;  // as HashPassword wrote it
    Role role = Role::Unit;
    std::string unit;  // the unit of a unit account; "" for the office
    bool must_change_password = false;
};

class AccountBook {
public:
    // The server tables must exist (CreateServerTables).
    explicit AccountBook(store::Database& db) : db_(db) {}

    std::optional<Account> Find(std::string_view name);
    // Every account in the order of their names.
    std::vector<Account> All();

    // Adds the account, and its unit to the units when it has one. False,
    // with nothing changed, when the name is taken.
    bool Insert(const Account& account);
    // Removes the account and ends its sessions. False when there was none.
    bool Remove(std::string_view name);
    void SetPassword(std::string_view name, std::string_view hash, bool must_change);

private:
    store::Database& db_;
};

}  // namespace zorbix::accounts

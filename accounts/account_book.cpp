#include "accounts/account_book.h"

namespace zorbix::accounts {
namespace {

constexpr const char* kSelect =
    "SELECT name, password_hash, role, unit, must_change_password FROM accounts";

Account AccountOf(const store::Statement& row) {
    Account account;
    account.name = row.Text(0);
    account.password_hash = row.Text(1);
    // A role the program does not know grants the least.
    account.role = RoleFromCode(row.Text(2)).value_or(Role::Unit);
    account.unit = row.Text(3);
    account.must_change_password = row.Int(4) != 0;
    return account;
}

}  // namespace

std::optional<Account> AccountBook::Find(std::string_view name) {
    store::Statement select(db_, std::string(kSelect) + " WHERE name = ?1");
    select.Bind(1, name);
    if (!select.Step()) return std::nullopt;
    Account account = AccountOf(select);
    select.Reset();
    return account;
}

std::vector<Account> AccountBook::All() {
    store::Statement select(db_, std::string(kSelect) + " ORDER BY name");
    std::vector<Account> accounts;
    while (select.Step()) accounts.push_back(AccountOf(select));
    return accounts;
}

bool AccountBook::Insert(const Account& account) {
    store::Transaction transaction(db_);
    if (Find(account.name)) return false;
    if (!account.unit.empty()) {
        store::Statement unit(db_, "INSERT INTO units (name) VALUES (?1) ON CONFLICT DO NOTHING");
        unit.Bind(1, account.unit);
        unit.Run();
    }
    store::Statement insert(db_,
                            "INSERT INTO accounts (name, password_hash, role, unit, "
                            "must_change_password) VALUES (?1, ?2, ?3, ?4, ?5)");
    insert.Bind(1, account.name);
    insert.Bind(2, account.password_hash);
    insert.Bind(3, RoleCode(account.role));
    insert.Bind(4, account.unit);
    insert.Bind(5, std::int64_t{account.must_change_password ? 1 : 0});
    insert.Run();
    transaction.Commit();
    return true;
}

bool AccountBook::Remove(std::string_view name) {
    store::Transaction transaction(db_);
    if (!Find(name)) return false;
    for (const char* sql :
         {"DELETE FROM sessions WHERE account = ?1", "DELETE FROM accounts WHERE name = ?1"}) {
        store::Statement remove(db_, sql);
        remove.Bind(1, name);
        remove.Run();
    }
    transaction.Commit();
    return true;
}

void AccountBook::SetPassword(std::string_view name, std::string_view hash, bool must_change) {
    store::Statement update(
        db_, "UPDATE accounts SET password_hash = ?2, must_change_password = ?3 WHERE name = ?1");
    update.Bind(1, name);
    update.Bind(2, hash);
    update.Bind(3, std::int64_t{must_change ? 1 : 0});
    update.Run();
}

}  // namespace zorbix::accounts

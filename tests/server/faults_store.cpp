#include "tests/server/faults_store.h"

#include <cstdio>

#include "accounts/account_book.h"
#include "accounts/project_owners.h"
#include "accounts/role.h"
#include "accounts/secrets.h"
#include "accounts/server_tables.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

// Every value of the first column the query answers, one line each.
std::vector<std::string> Lines(store::Database& db, const std::string& what,
                               const std::string& sql) {
    std::vector<std::string> lines;
    store::Statement query(db, sql);
    while (query.Step()) lines.push_back(what + std::string(query.Text(0)));
    return lines;
}

// Lines of `table` whose `column` names no project of the project table.
std::string Orphans(const std::string& table, const std::string& column) {
    return "SELECT t." + column + " FROM " + table + " t WHERE NOT EXISTS (SELECT 1 FROM " +
           std::string(store::kTableName) + " p WHERE p.\"JB02\" = t." + column + ")";
}

}  // namespace

std::string FaultsUnitName(int unit) { return "单位" + std::to_string(100 + unit).substr(1); }

std::string FaultsAccountName(int unit) { return "unit" + std::to_string(100 + unit).substr(1); }

std::string FaultsProjectNumber(int unit, int slot) {
    char number[16];
    std::snprintf(number, sizeof number, "20130%03d%04d", unit % 1000, slot % 10000);
    return number;
}

void MakeFaultsStore(const std::filesystem::path& dir, int units, int projects_per_unit,
                     int unowned) {
    const auto store = OpenTestStore(dir);
    store::Database& db = store->database();
    accounts::CreateServerTables(db);
    const std::string hash = accounts::HashPassword(kFaultsPassword);
    accounts::ProjectOwners owners(db);
    accounts::AccountBook book(db);
    store::Transaction transaction(db);
    // The password is hashed once: hashing it for each account would take
    // most of the test.
    book.Insert({kFaultsClerk, hash, accounts::Role::Clerk, "", false});
    book.Insert({kFaultsAdmin, hash, accounts::Role::Admin, "", false});
    for (int unit = 0; unit < units; ++unit) {
        book.Insert(
            {FaultsAccountName(unit), hash, accounts::Role::Unit, FaultsUnitName(unit), false});
        for (int slot = 0; slot < projects_per_unit; ++slot) {
            const std::string number = FaultsProjectNumber(unit, slot);
            store->records().AddNew(store::MakeDemoProject(number, 7 + slot));
            owners.SetOwner(number, FaultsUnitName(unit));
        }
    }
    transaction.Commit();
    // Demo numbers are drawn at random among those not stored yet.
    if (unowned > 0) store::AddDemoProjects(store->records(), unowned, 2013);
}

std::vector<std::string> StoreProblems(const std::filesystem::path& dir) {
    const auto db = OpenTestDatabase(dir);
    std::vector<std::string> problems;
    const auto add = [&](std::vector<std::string> more) {
        problems.insert(problems.end(), more.begin(), more.end());
    };
    if (!OnPostgres()) {
        store::Statement check(*db, "PRAGMA integrity_check");
        while (check.Step())
            if (check.Text(0) != "ok") problems.push_back("SQLite: " + std::string(check.Text(0)));
    }
    add(Lines(*db, "project stored twice: ",
              "SELECT \"JB02\" FROM " + std::string(store::kTableName) +
                  " GROUP BY \"JB02\" HAVING count(*) > 1"));
    add(Lines(*db, "owner of a missing project: ", Orphans("project_owners", "project")));
    add(Lines(*db, "state of a missing project: ", Orphans("project_states", "project")));
    add(Lines(*db, "comment on a missing project: ", Orphans("review_comments", "project")));
    add(Lines(*db, "session of a missing account: ",
              "SELECT s.account FROM sessions s WHERE NOT EXISTS "
              "(SELECT 1 FROM accounts a WHERE a.name = s.account)"));
    return problems;
}

}  // namespace zorbix::testing

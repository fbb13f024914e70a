#include "accounts/server_tables.h"

namespace zorbix::accounts {
namespace {

// Only TEXT and BIGINT, no engine's own row numbers: the same statements run
// on SQLite and on PostgreSQL.
constexpr const char* kTables[] = {
    "CREATE TABLE IF NOT EXISTS units ("
    " name TEXT PRIMARY KEY)",

    "CREATE TABLE IF NOT EXISTS accounts ("
    " name TEXT PRIMARY KEY,"
    " password_hash TEXT NOT NULL,"
    " role TEXT NOT NULL,"
    " unit TEXT NOT NULL,"
    " must_change_password BIGINT NOT NULL)",

    // Only a digest of each session token is kept: a copy of the store
    // opens no session.
    "CREATE TABLE IF NOT EXISTS sessions ("
    " token_digest TEXT PRIMARY KEY,"
    " account TEXT NOT NULL,"
    " csrf TEXT NOT NULL,"
    " created BIGINT NOT NULL,"
    " last_used BIGINT NOT NULL)",

    "CREATE TABLE IF NOT EXISTS project_owners ("
    " project TEXT PRIMARY KEY,"
    " unit TEXT NOT NULL)",

    // A unit's list of projects reads only its own lines.
    "CREATE INDEX IF NOT EXISTS project_owners_unit ON project_owners (unit)",

    "CREATE TABLE IF NOT EXISTS project_states ("
    " project TEXT PRIMARY KEY,"
    " state TEXT NOT NULL)",

    // A returned project's comments; column_name '' holds the one on the
    // project as a whole.
    "CREATE TABLE IF NOT EXISTS review_comments ("
    " project TEXT NOT NULL,"
    " column_name TEXT NOT NULL,"
    " comment TEXT NOT NULL,"
    " PRIMARY KEY (project, column_name))",

    // A returned project's values as they stood at its return.
    "CREATE TABLE IF NOT EXISTS values_at_return ("
    " project TEXT NOT NULL,"
    " column_name TEXT NOT NULL,"
    " value TEXT NOT NULL,"
    " PRIMARY KEY (project, column_name))",
};

}  // namespace

void CreateServerTables(store::Database& db) {
    store::Transaction transaction(db);
    for (const char* sql : kTables) db.Execute(sql);
    transaction.Commit();
}

}  // namespace zorbix::accounts

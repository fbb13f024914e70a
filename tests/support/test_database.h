// The engine a test's store lives in. Normally the program directory's
// SQLite file; when ZORBIX_TEST_POSTGRES is set (scripts/test runs the
// suite a second time inside a throw-away PostgreSQL cluster), a database
// of its own for each program directory, made on first use, so tests that
// run at the same moment never share a store.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "store/postgres_db.h"
#include "store/sqlite_db.h"
#include "store/store.h"

namespace zorbix::testing {

inline bool OnPostgres() {
    const char* set = std::getenv("ZORBIX_TEST_POSTGRES");
    return set && *set;
}

// "" on SQLite; "dbname=zt_…" on PostgreSQL, the database made when new.
inline std::string TestDatabaseFor(const std::filesystem::path& directory) {
    if (!OnPostgres()) return "";
    std::string name = "zt_";
    for (unsigned char c : directory.filename().string()) {
        static const char* hex = "0123456789abcdef";
        name += hex[c >> 4];
        name += hex[c & 15];
    }
    name = name.substr(0, 63);
    static std::set<std::string> made;
    if (made.insert(name).second) {
        store::PostgresDatabase admin("dbname=postgres", directory);
        try {
            admin.Execute("CREATE DATABASE " + name);
        } catch (const store::PostgresError& e) {
            if (e.state() != "42P04") throw;  // made by an earlier process
        }
    }
    return "dbname=" + name;
}

// A connection of its own to the store of a program directory, for tests
// that look into the database beside the program.
inline std::unique_ptr<store::Database> OpenTestDatabase(const std::filesystem::path& directory) {
    if (OnPostgres())
        return std::make_unique<store::PostgresDatabase>(TestDatabaseFor(directory), directory);
    return std::make_unique<store::SqliteDatabase>(directory / store::kDatabaseFileName);
}

// The store of a program directory, in the engine the tests run against.
inline std::unique_ptr<store::Store> OpenTestStore(const std::filesystem::path& directory) {
    return std::make_unique<store::Store>(directory, TestDatabaseFor(directory));
}

}  // namespace zorbix::testing

// The store a benchmark measures: the program directory's SQLite file, or,
// when ZORBIX_BENCH_POSTGRES is set (bench/on_both_engines.sh runs every
// benchmark a second time inside a throw-away PostgreSQL cluster), a fresh
// database of its own for each program directory, reached by the local
// socket. Figures have a target on each engine.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/postgres_db.h"

namespace zorbix::bench {

inline bool OnPostgres() {
    const char* set = std::getenv("ZORBIX_BENCH_POSTGRES");
    return set && *set;
}

// The target of a figure on the engine measured.
inline double Target(double on_sqlite, double on_postgres) {
    return OnPostgres() ? on_postgres : on_sqlite;
}

// "" on SQLite; on PostgreSQL the connection string of an empty database
// named after the directory, made anew.
inline std::string FreshDatabaseFor(const std::filesystem::path& directory) {
    if (!OnPostgres()) return "";
    std::string name = "bench_";
    for (char c : directory.filename().string())
        name += (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? c : '_';
    name = name.substr(0, 63);
    store::PostgresDatabase admin("dbname=postgres", directory);
    admin.Execute("DROP DATABASE IF EXISTS " + name);
    admin.Execute("CREATE DATABASE " + name);
    return "dbname=" + name;
}

}  // namespace zorbix::bench

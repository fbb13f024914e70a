// The store the server benchmarks load: 32767 demo projects dealt out in
// store order to 2000 unit accounts (about 16 projects each) and, when
// asked, an office clerk. Every account has the same password, hashed once.
// It is made in a child process, so that neither its time nor its memory
// counts in the figures measured afterwards.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "accounts/account_book.h"
#include "accounts/project_owners.h"
#include "accounts/role.h"
#include "accounts/secrets.h"
#include "accounts/server_tables.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"

namespace zorbix::bench {

constexpr int kBenchProjects = 32767;
constexpr int kBenchUnits = 2000;
constexpr const char* kBenchPassword = "bench-password-2013";
constexpr const char* kBenchClerk = "clerk";

inline std::string UnitName(int unit) { return "单位" + std::to_string(10000 + unit).substr(1); }
inline std::string AccountName(int unit) { return "unit" + std::to_string(10000 + unit).substr(1); }

inline void MakeUnitAccountsStore(const std::filesystem::path& dir, const std::string& database,
                                  bool with_clerk) {
    store::Store store(dir, database);
    store::AddDemoProjects(store.records(), kBenchProjects, 2013);
    store::Database& db = store.database();
    accounts::CreateServerTables(db);
    const std::string hash = accounts::HashPassword(kBenchPassword);
    accounts::ProjectOwners owners(db);
    accounts::AccountBook book(db);
    // One transaction: each account's own is a savepoint of it, so 2000 of
    // them do not wait for the disk 2000 times.
    store::Transaction transaction(db);
    for (int unit = 0; unit < kBenchUnits; ++unit)
        book.Insert({AccountName(unit), hash, accounts::Role::Unit, UnitName(unit), false});
    if (with_clerk) book.Insert({kBenchClerk, hash, accounts::Role::Clerk, "", false});
    const auto numbers = store.records().ColumnValues(store::kNumberColumn);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        owners.SetOwner(numbers[i], UnitName(static_cast<int>(i % kBenchUnits)));
    transaction.Commit();
}

inline bool MadeInChild(const std::filesystem::path& dir, const std::string& database,
                        bool with_clerk = false) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        try {
            MakeUnitAccountsStore(dir, database, with_clerk);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "making the store failed: %s\n", e.what());
            std::_Exit(1);
        }
        std::_Exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

inline double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size()));
    return values[std::min(at, values.size() - 1)];
}

inline double Max(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

}  // namespace zorbix::bench

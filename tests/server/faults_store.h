// The store the fault tests start from: units with accounts and demo
// projects of their own, an office clerk and an administrator, every
// account with one password hashed once; and the checks a store must pass
// after whatever fault it went through.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zorbix::testing {

constexpr const char* kFaultsPassword = "faults-password-2013";
constexpr const char* kFaultsClerk = "clerk";
constexpr const char* kFaultsAdmin = "admin";

std::string FaultsUnitName(int unit);     // 单位01
std::string FaultsAccountName(int unit);  // unit01
// A unit's project: slots 0 to 99 of each unit, twelve digits.
std::string FaultsProjectNumber(int unit, int slot);

// Makes the store of `dir` (on the PostgreSQL pass, its test database):
// `units` units with `projects_per_unit` demo projects each, which keep
// every rule and so may be submitted, and `unowned` demo projects more
// that belong to nobody.
void MakeFaultsStore(const std::filesystem::path& dir, int units, int projects_per_unit,
                     int unowned = 0);

// What is wrong with the store of `dir`, one line each; empty when it is
// sound: the SQLite file's own check, a project number stored twice, an
// owner, state or review line of a project that is not there, a session of
// an account that is not there.
std::vector<std::string> StoreProblems(const std::filesystem::path& dir);

}  // namespace zorbix::testing

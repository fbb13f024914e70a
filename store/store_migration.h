// Moving a store between the engines: a program directory's SQLite file
// into an empty PostgreSQL database ("migrate up"), and a PostgreSQL store
// back into a new SQLite file of the directory ("migrate down"). Both copy
// every project and every line of the change history exactly, and both
// refuse a target that already holds a store's data, changing nothing.
#pragma once

#include <filesystem>
#include <string>

#include "base/outcome.h"
#include "base/prompter.h"

namespace zorbix::store {

base::Outcome MigrateUp(const std::filesystem::path& directory, const std::string& database,
                        base::Prompter& prompter);

base::Outcome MigrateDown(const std::filesystem::path& directory, const std::string& database,
                          base::Prompter& prompter);

}  // namespace zorbix::store

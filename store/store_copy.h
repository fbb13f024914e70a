// Copying a store's contents from one database into another, whatever the
// engines: the projects in the order they came in (so that projects of the
// same number keep their order) and the lines of the change history. A
// backup of a PostgreSQL store, a restore into one, and moving a store
// between the engines all copy this way, so every value arrives exactly.
#pragma once

#include <filesystem>

#include "store/database.h"

namespace zorbix::store {

// Reads `from` in one consistent snapshot (nobody's later change is half
// in it) and appends its projects to `to`'s project table; `to` must be in
// a transaction. Returns how many projects were copied.
int CopyProjectRows(Database& from, Database& to);

// The same for the lines of the change history, oldest first.
int CopyHistoryLines(Database& from, Database& to);

// A new SQLite store file `target` holding `from`'s projects and history.
void CopyIntoNewFile(Database& from, const std::filesystem::path& target);

// Projects, or history lines, in a store database.
int ProjectCount(Database& db);
int HistoryLineCount(Database& db);

}  // namespace zorbix::store

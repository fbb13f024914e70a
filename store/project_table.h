// The SQL shape of the project table: its creation, the check of an existing
// table, and the column lists every statement uses (always by name, so an
// existing table with another physical order is read correctly).
#pragma once

#include <string>
#include <vector>

#include "store/sqlite_db.h"

namespace zorbix::store {

// "XH","JB02",... in table order.
const std::string& ColumnList();

// True when the database holds the project table.
bool HasProjectTable(Database& db);

// Creates the table with its 137 TEXT columns and the JB02 index.
void CreateProjectTable(Database& db);

// Names of catalogue columns the existing table lacks.
std::vector<std::string> MissingColumns(Database& db);

// The index that keeps ordering by JB02 fast; created when missing.
void EnsureOrderIndex(Database& db);

}  // namespace zorbix::store

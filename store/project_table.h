// The SQL shape of the project table: its creation, the check of an existing
// table, and the column lists every statement uses (always by name, so an
// existing table with another physical order is read correctly).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/database.h"

namespace zorbix::store {

// "XH","JB02",... in table order.
const std::string& ColumnList();

// True when the database holds the project table, or a table of that name.
bool HasProjectTable(Database& db);
bool HasTable(Database& db, std::string_view name);
// True when the table has the column, compared as the engine compares names.
bool HasColumn(Database& db, std::string_view table, std::string_view column);

// Creates the table with its 137 TEXT columns and the JB02 index; on
// PostgreSQL with the row's number, version and last change, and the
// trigger that tells other connections of changes.
void CreateProjectTable(Database& db);

// Names of catalogue columns the existing table lacks (on PostgreSQL, of
// the row columns too).
std::vector<std::string> MissingColumns(Database& db);

// The index that keeps ordering by JB02 fast; created when missing.
void EnsureOrderIndex(Database& db);

// The rowids of the table in store order: ascending JB02 compared byte by
// byte, empty numbers first, ties in the order the rows came in.
const char* StoreOrderSql(const Database& db);

// The columns every PostgreSQL project row has beside the catalogue's.
const std::vector<std::string>& PostgresRowColumns();

}  // namespace zorbix::store

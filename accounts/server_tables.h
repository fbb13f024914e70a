// The tables the server keeps beside kjxmzxqk, created in one place so that
// every store engine makes them the same way. kjxmzxqk itself is never
// altered: the desktop program and the exchange files keep its 137 columns.
#pragma once

#include "store/database.h"

namespace zorbix::accounts {

// Creates the units, accounts, sessions, project owners, project states and
// review notes tables where they are missing; leaves existing ones as they are. The SQL
// is plain enough for SQLite and PostgreSQL alike.
void CreateServerTables(store::Database& db);

}  // namespace zorbix::accounts

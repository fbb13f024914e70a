// Opening the store in a PostgreSQL database: the connection, the check
// that tables of the store's names are the store's own, and their creation
// when missing.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "store/database.h"

namespace zorbix::store {

// Connects to `url` and makes sure the project table and the change
// history are there and are the store's; throws Failure with the user's
// message otherwise, leaving the database as it was. `directory` is the
// program directory that keeps the backups.
std::unique_ptr<Database> OpenPostgresStore(const std::string& url,
                                            const std::filesystem::path& directory);

}  // namespace zorbix::store

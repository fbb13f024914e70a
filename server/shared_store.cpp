#include "server/shared_store.h"

#include "accounts/server_tables.h"

namespace zorbix::server {
namespace {

// The server's tables exist before anything is bound to them.
store::Store& WithServerTables(store::Store& opened) {
    accounts::CreateServerTables(opened.database());
    return opened;
}

}  // namespace

StoreParts::StoreParts(store::Store& opened, accounts::Clock clock)
    : store(opened),
      accounts(opened.database()),
      sessions(opened.database(), std::move(clock)),
      owners(opened.database()),
      states(opened.database()),
      positions(opened.records()),
      reviews(opened.database()) {}

SharedStore::SharedStore(const std::filesystem::path& directory, accounts::Clock clock,
                         const std::string& database)
    : store_(directory, database), parts_(WithServerTables(store_), std::move(clock)) {}

}  // namespace zorbix::server

#include "server/run_store.h"

#include "store/postgres_store.h"
#include "store/sqlite_db.h"

namespace zorbix::server {
namespace {

struct Address {
    std::filesystem::path directory;
    std::string database;  // "" for the directory's SQLite file
};

// Asked without the shared store's lock, which a run would otherwise wait
// for behind the units' changes.
Address AddressOf(SharedStore& shared) { return {shared.directory(), shared.database()}; }

std::unique_ptr<store::Database> Open(const Address& address) {
    if (!address.database.empty())
        return store::OpenPostgresStore(address.database, address.directory);
    // The shared connection made the file and its table, and holds the
    // program directory's instance lock for the whole server. Every commit
    // of a run reaches the disk, as the shared connection's do.
    auto db = std::make_unique<store::SqliteDatabase>(address.directory / store::kDatabaseFileName);
    db->Execute("PRAGMA synchronous=FULL");
    return db;
}

}  // namespace

RunStore::RunStore(SharedStore& shared) {
    const Address address = AddressOf(shared);
    directory_ = address.directory;
    db_ = Open(address);
    records_ = std::make_unique<store::RecordSet>(*db_);
}

// The record set goes before its database (the members' order).
RunStore::~RunStore() = default;

void FollowWrittenRun(SharedStore& shared) {
    shared.With([](StoreParts& parts) {
        if (parts.store.engine() == store::Engine::Sqlite)
            parts.records().Reopen();
        else
            parts.records().FollowChanges();
    });
}

}  // namespace zorbix::server

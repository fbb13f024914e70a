// A connection of its own to the server's store for a long run of the
// office, so that the run does not hold the shared store's one lock while
// it works and everyone else keeps being served. On an SQLite file the run
// reads beside the shared connection (the file's journal lets readers in
// while one writes) and writes when the file's write lock is free; on
// PostgreSQL it is one more client of the database.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "server/shared_store.h"
#include "store/database.h"
#include "store/record_set.h"

namespace zorbix::server {

class RunStore {
public:
    // Opens the store that `shared` works on. Throws base::Failure with the
    // store's message when it cannot be reached.
    explicit RunStore(SharedStore& shared);
    ~RunStore();
    RunStore(const RunStore&) = delete;
    RunStore& operator=(const RunStore&) = delete;

    store::RecordSet& records() { return *records_; }
    store::Database& database() { return *db_; }
    // The program directory: templates, outputs, the plan and the backups.
    const std::filesystem::path& directory() const { return directory_; }

private:
    std::filesystem::path directory_;
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<store::RecordSet> records_;
};

// After a run that wrote (an append, a restore, a plan), the shared record
// set takes in what the run's connection changed: on PostgreSQL from the
// change notices, on an SQLite file (which sends none) by reading the
// order again.
void FollowWrittenRun(SharedStore& shared);

}  // namespace zorbix::server

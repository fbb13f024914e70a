// The project store of one program directory: the instance lock, the
// database file zorbix2013.db with its table, and the record set over it.
#pragma once

#include <filesystem>
#include <memory>

#include "base/instance_lock.h"
#include "store/record_set.h"
#include "store/sqlite_db.h"

namespace zorbix::store {

inline constexpr const char* kDatabaseFileName = "zorbix2013.db";

class Store {
public:
    // Opens the store of a program directory, creating the database and its
    // table when missing. Throws Failure with the user's message, naming the
    // file, when the file is not a database, is read-only or locked, or its
    // table lacks columns; the file is then left as it was.
    explicit Store(const std::filesystem::path& directory);

    // Writes a pending change of the current record: nothing typed is lost
    // when the program ends.
    ~Store();

    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    RecordSet& records() { return *records_; }
    Database& database() { return *db_; }
    const std::filesystem::path& directory() const { return directory_; }
    std::filesystem::path file() const { return directory_ / kDatabaseFileName; }

private:
    std::filesystem::path directory_;
    base::InstanceLock lock_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<RecordSet> records_;
};

}  // namespace zorbix::store

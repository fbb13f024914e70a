// The project store of one program directory: the database with its table
// and the record set over it. By default the database is the file
// zorbix2013.db of the directory, kept by one copy of the program at a time
// (the instance lock); given a database address, it is a PostgreSQL
// database that several clerks share, and the directory keeps only the
// templates, the outputs and the backups.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

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
    // With a database address (a libpq connection string or postgresql://
    // URI): the PostgreSQL store there, its tables created when missing. An
    // empty address is the directory's own file as above. Throws Failure
    // with the user's message when the server cannot be reached or the
    // database holds tables of the same names that are not the store's.
    Store(const std::filesystem::path& directory, const std::string& database);

    // Writes a pending change of the current record: nothing typed is lost
    // when the program ends.
    ~Store();

    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    RecordSet& records() { return *records_; }
    Database& database() { return *db_; }
    const std::filesystem::path& directory() const { return directory_; }
    // The SQLite file of the store (of the directory, whatever the engine).
    std::filesystem::path file() const { return directory_ / kDatabaseFileName; }
    Engine engine() const { return db_->engine(); }

private:
    std::filesystem::path directory_;
    std::optional<base::InstanceLock> lock_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<RecordSet> records_;

    void OpenFile();
};

}  // namespace zorbix::store

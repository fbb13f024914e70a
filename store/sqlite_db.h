// The store's database in an SQLite file: a thin owner of the connection and
// its prepared statements. Errors
// become Failure with SQLite's own text appended, so the store's callers can
// put them in front of the user.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/error.h"
#include "store/database.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zorbix::store {

class SqliteError : public base::Failure {
public:
    SqliteError(const std::string& message, int code) : base::Failure(message), code_(code) {}
    int code() const { return code_; }  // the primary SQLite result code

private:
    int code_;
};

class SqliteDatabase : public Database {
public:
    // Opens an existing file or creates it. Never changes an existing file.
    explicit SqliteDatabase(const std::filesystem::path& file);
    ~SqliteDatabase() override;

    Engine engine() const override { return Engine::Sqlite; }
    void Execute(std::string_view sql) override;
    std::unique_ptr<StatementCursor> Prepare(std::string_view sql) override;
    bool IsAutocommit() const override;
    void Begin() override { Execute("BEGIN IMMEDIATE"); }
    void Rollback() noexcept override;
    // Moves the committed transactions of the write-ahead journal into the
    // database file, as far as no reader holds them back; never fails (what
    // stays in the journal is still committed and read from there).
    void Checkpoint() override;
    const std::filesystem::path& directory() const override { return directory_; }
    std::string Named() const override;
    const std::string& User() const override;

    bool IsReadOnly() const;
    bool IsUtf8() const { return utf8_; }  // text is stored as UTF-8
    std::int64_t LastInsertRowId() const;
    sqlite3* handle() const { return db_; }
    const std::filesystem::path& file() const { return file_; }

    // Throws SqliteError with what SQLite said after `what`; StoreDamaged,
    // naming the file and its backups, when SQLite found it damaged.
    [[noreturn]] void Fail(int code, std::string_view what) const;

    // Prepared statements are kept for their next use: the server prepares
    // the same few statements thousands of times a minute, and compiling
    // one costs more than running it. A statement is taken out while in
    // use, so two cursors never share one; it comes back reset.
    sqlite3_stmt* TakePrepared(std::string_view sql);
    void GiveBack(std::string_view sql, sqlite3_stmt* stmt) noexcept;

private:
    // Bounds the statements kept: ad hoc SQL (filters, the list's search)
    // must not grow the connection without end.
    static constexpr std::size_t kKeptStatements = 256;

    std::unordered_multimap<std::string, sqlite3_stmt*> idle_statements_;
    sqlite3* db_ = nullptr;
    std::filesystem::path file_;
    std::filesystem::path directory_;
    bool utf8_ = true;
};

// The SQLite connection under a store's database; throws Failure with the
// user's message for a PostgreSQL store, where `what` is not possible.
SqliteDatabase& AsSqlite(Database& db, std::string_view what);

}  // namespace zorbix::store

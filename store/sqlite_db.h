// A thin owner of an SQLite connection and its prepared statements. Errors
// become Failure with SQLite's own text appended, so the store's callers can
// put them in front of the user.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/error.h"

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

class Statement;

class Database {
public:
    // Opens an existing file or creates it. Never changes an existing file.
    explicit Database(const std::filesystem::path& file);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void Execute(std::string_view sql);
    // Moves the committed transactions of the write-ahead journal into the
    // database file, as far as no reader holds them back; never fails (what
    // stays in the journal is still committed and read from there).
    void Checkpoint();
    bool IsReadOnly() const;
    bool IsUtf8() const { return utf8_; }  // text is stored as UTF-8
    bool IsAutocommit() const;             // no transaction is open
    std::int64_t LastInsertRowId() const;
    sqlite3* handle() const { return db_; }
    const std::filesystem::path& file() const { return file_; }

    // Throws SqliteError with what SQLite said after `what`; StoreDamaged,
    // naming the file and its backups, when SQLite found it damaged.
    [[noreturn]] void Fail(int code, std::string_view what) const;

private:
    sqlite3* db_ = nullptr;
    std::filesystem::path file_;
    bool utf8_ = true;
};

// A prepared statement, reset after each use so it can be stepped again.
class Statement {
public:
    Statement(Database& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, std::string_view text);  // 1-based, as SQLite counts
    // Without a copy: the text must stay unchanged until the next Run or Step.
    void BindUncopied(int index, std::string_view text);
    void Bind(int index, std::int64_t value);
    bool Step();  // true while a row is there
    void Run();   // steps a statement that returns no rows, then resets it
    void Reset();

    std::string_view Text(int column) const;  // 0-based; NULL reads as ""
    std::int64_t Int(int column) const;

private:
    Database& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// A transaction that rolls back unless committed: one append, one demo run,
// one initialisation are all or nothing.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Database& db_;
    bool open_ = true;
};

}  // namespace zorbix::store

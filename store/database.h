// One connection to the database that holds the store, whichever engine
// keeps it: an SQLite file in the program directory (the default, one clerk
// at one machine) or a PostgreSQL database that several clerks share. The
// store's code speaks to it through Statement and Transaction below and
// writes SQL both engines read alike: numbered "?1" parameters, quoted
// column names, no rowid functions of SQLite's own. Where the two differ
// (the catalogue of tables, reading a block of rows, the order of texts)
// the code asks engine().
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"

namespace zorbix::store {

enum class Engine { Sqlite, Postgres };

// A record another connection changed since this one last looked; only
// PostgreSQL stores hear of them.
struct ChangeNotice {
    // Lost: the connection was made anew and notices may have been missed
    // meanwhile; anything read before may be out of date.
    enum Kind { Added, Changed, Deleted, Lost } kind;
    std::int64_t rowid;
};

// What one engine's prepared statement does. Statement is the handle the
// store's code holds.
class StatementCursor {
public:
    virtual ~StatementCursor() = default;
    // `copy` false: the text must stay unchanged until the next Step or Reset.
    virtual void Bind(int index, std::string_view text, bool copy) = 0;
    virtual void Bind(int index, std::int64_t value) = 0;
    virtual bool Step() = 0;
    virtual void Reset() = 0;
    virtual std::string_view Text(int column) const = 0;
    virtual std::int64_t Int(int column) const = 0;
    // Rows the last statement that changed rows changed.
    virtual std::int64_t Changes() const = 0;
    // Runs a statement that returns no rows. An engine may send it on
    // without waiting inside a transaction; a failure then surfaces by the
    // next statement that reads, or by the commit, at the latest.
    virtual void Run() {
        Step();
        Reset();
    }
};

class Database {
public:
    virtual ~Database() = default;
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    virtual Engine engine() const = 0;
    virtual void Execute(std::string_view sql) = 0;
    // Executes a statement whose failure may instead be told by the next
    // statement (SAVEPOINT): an engine may send it on without waiting.
    virtual void ExecuteSoon(std::string_view sql) { Execute(sql); }
    virtual std::unique_ptr<StatementCursor> Prepare(std::string_view sql) = 0;
    virtual bool IsAutocommit() const = 0;  // no transaction is open
    // Opens a transaction that will write: SQLite takes its write lock at
    // once, so a writer waits at the start and never half-way through.
    virtual void Begin() = 0;
    virtual void Commit() { Execute("COMMIT"); }
    // Never fails: a transaction the engine already ended stays ended.
    virtual void Rollback() noexcept = 0;
    // Brings committed transactions to their final place; never fails.
    virtual void Checkpoint() {}

    // The program directory: its backup folder, templates and outputs.
    virtual const std::filesystem::path& directory() const = 0;
    // The store as messages name it: "数据库文件“…”" or "数据库“…”".
    virtual std::string Named() const = 0;
    // Who changes records through this connection, for the change history:
    // the database role, or the system user of an SQLite store.
    virtual const std::string& User() const = 0;
    // Changes of other connections since the last call, oldest first.
    virtual std::vector<ChangeNotice> TakeChangeNotices() { return {}; }
    // True when the connection to a database server was ended (the next
    // statement makes it anew); never for a file.
    virtual bool IsConnectionLost() const { return false; }
    // Who else is connected to the same store now, "name（address）" each;
    // nobody for an SQLite file, which one copy of the program holds.
    virtual std::vector<std::string> OtherSessions() { return {}; }
};

// A prepared statement, reset after each use so it can be stepped again.
class Statement {
public:
    Statement(Database& db, std::string_view sql) : cursor_(db.Prepare(sql)) {}
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, std::string_view text) { cursor_->Bind(index, text, true); }  // 1-based
    // Without a copy: the text must stay unchanged until the next Run or Step.
    void BindUncopied(int index, std::string_view text) { cursor_->Bind(index, text, false); }
    void Bind(int index, std::int64_t value) { cursor_->Bind(index, value); }
    bool Step() { return cursor_->Step(); }  // true while a row is there
    // Steps a statement that returns no rows, then resets it.
    void Run() { cursor_->Run(); }
    void Reset() { cursor_->Reset(); }
    std::string_view Text(int column) const { return cursor_->Text(column); }  // 0-based; NULL: ""
    std::int64_t Int(int column) const { return cursor_->Int(column); }
    std::int64_t Changes() const { return cursor_->Changes(); }

private:
    std::unique_ptr<StatementCursor> cursor_;
};

// A transaction that rolls back unless committed: one append, one demo run,
// one initialisation are all or nothing. Opened while another transaction
// is open on the connection, it is a savepoint of that one: when it fails,
// its own work is undone and the outer transaction's stays; committed, its
// work waits for the outer commit.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    void RollBackToSavepoint() noexcept;

    Database& db_;
    bool nested_;
    bool open_ = true;
};

}  // namespace zorbix::store

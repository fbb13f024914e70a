#include "store/sqlite_db.h"

#include <sqlite3.h>

#include "base/system_user.h"
#include "store/damaged_store.h"

namespace zorbix::store {

namespace {

// Memory statistics cost a global mutex on every allocation; nothing here
// reads them. Must run before SQLite initialises itself.
void ConfigureOnce() {
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
}

}  // namespace

SqliteDatabase::SqliteDatabase(const std::filesystem::path& file)
    : file_(file), directory_(std::filesystem::absolute(file).parent_path()) {
    ConfigureOnce();
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const int code = rc & 0xff;
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError("无法打开数据库文件“" + file.string() + "”：" + sqlite3_errstr(rc), code);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, 1000);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA encoding", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* encoding = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        utf8_ = encoding && std::string_view(encoding) == "UTF-8";
    }
    sqlite3_finalize(stmt);
}

SqliteDatabase::~SqliteDatabase() {
    for (auto& [sql, stmt] : idle_statements_) sqlite3_finalize(stmt);
    sqlite3_close_v2(db_);
}

sqlite3_stmt* SqliteDatabase::TakePrepared(std::string_view sql) {
    const auto kept = idle_statements_.find(std::string(sql));
    if (kept != idle_statements_.end()) {
        sqlite3_stmt* stmt = kept->second;
        idle_statements_.erase(kept);
        return stmt;
    }
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        Fail(rc, "数据库语句无法执行");
    }
    return stmt;
}

void SqliteDatabase::GiveBack(std::string_view sql, sqlite3_stmt* stmt) noexcept {
    // A reset statement holds no lock and no snapshot; its bindings go
    // too, so no text of one request stays behind for the next.
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (idle_statements_.size() >= kKeptStatements) {
        sqlite3_finalize(stmt);
        return;
    }
    try {
        idle_statements_.emplace(std::string(sql), stmt);
    } catch (...) {
        sqlite3_finalize(stmt);
    }
}

void SqliteDatabase::Fail(int code, std::string_view what) const {
    const int primary = code & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        throw StoreDamaged(DamagedStoreMessage(
            file_, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code), primary == SQLITE_NOTADB));
    std::string message(what);
    message += "（";
    message += db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    message += "）";
    throw SqliteError(message, code & 0xff);
}

void SqliteDatabase::Execute(std::string_view sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        sqlite3_free(error);
        Fail(rc, "数据库操作失败");
    }
}

void SqliteDatabase::Checkpoint() {
    sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

bool SqliteDatabase::IsAutocommit() const { return sqlite3_get_autocommit(db_) != 0; }

bool SqliteDatabase::IsReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

std::int64_t SqliteDatabase::LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

std::string SqliteDatabase::Named() const { return "数据库文件“" + file_.string() + "”"; }

const std::string& SqliteDatabase::User() const {
    static const std::string user = base::SystemUserName();
    return user;
}

void SqliteDatabase::Rollback() noexcept {
    // SQLite may have rolled back on its own already.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

namespace {

class SqliteCursor : public StatementCursor {
public:
    SqliteCursor(SqliteDatabase& db, std::string_view sql)
        : db_(db), sql_(sql), stmt_(db.TakePrepared(sql)) {}
    ~SqliteCursor() override { db_.GiveBack(sql_, stmt_); }

    void Bind(int index, std::string_view text, bool copy) override {
        const int rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                         copy ? SQLITE_TRANSIENT : SQLITE_STATIC);
        if (rc != SQLITE_OK) db_.Fail(rc, "数据库参数无法设置");
    }

    void Bind(int index, std::int64_t value) override {
        const int rc = sqlite3_bind_int64(stmt_, index, value);
        if (rc != SQLITE_OK) db_.Fail(rc, "数据库参数无法设置");
    }

    bool Step() override {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        sqlite3_reset(stmt_);
        db_.Fail(rc, "数据库读写失败");
    }

    void Reset() override {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

    std::string_view Text(int column) const override {
        // The blob form of a UTF-8 text is its bytes as stored: no terminator
        // has to be added. One column_value call, then the cheap accessors.
        sqlite3_value* value = sqlite3_column_value(stmt_, column);
        const void* raw = db_.IsUtf8() ? sqlite3_value_blob(value) : sqlite3_value_text(value);
        if (!raw) return {};
        return {static_cast<const char*>(raw),
                static_cast<std::size_t>(sqlite3_value_bytes(value))};
    }

    std::int64_t Int(int column) const override { return sqlite3_column_int64(stmt_, column); }

    std::int64_t Changes() const override { return sqlite3_changes64(db_.handle()); }

private:
    SqliteDatabase& db_;
    std::string sql_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace

std::unique_ptr<StatementCursor> SqliteDatabase::Prepare(std::string_view sql) {
    return std::make_unique<SqliteCursor>(*this, sql);
}

SqliteDatabase& AsSqlite(Database& db, std::string_view what) {
    if (db.engine() != Engine::Sqlite)
        throw base::Failure(std::string(what) +
                            "只能用于本机的数据库文件，不能用于数据库服务器上的数据。");
    return static_cast<SqliteDatabase&>(db);
}

}  // namespace zorbix::store

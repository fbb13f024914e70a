#include "store/sqlite_db.h"

#include <sqlite3.h>

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

Database::Database(const std::filesystem::path& file) : file_(file) {
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

Database::~Database() { sqlite3_close_v2(db_); }

void Database::Fail(int code, std::string_view what) const {
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

void Database::Execute(std::string_view sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        sqlite3_free(error);
        Fail(rc, "数据库操作失败");
    }
}

void Database::Checkpoint() {
    sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

bool Database::IsAutocommit() const { return sqlite3_get_autocommit(db_) != 0; }

bool Database::IsReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

std::int64_t Database::LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

Statement::Statement(Database& db, std::string_view sql) : db_(db) {
    const int rc = sqlite3_prepare_v3(db.handle(), sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) db_.Fail(rc, "数据库语句无法执行");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::Bind(int index, std::string_view text) {
    const int rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) db_.Fail(rc, "数据库参数无法设置");
}

void Statement::BindUncopied(int index, std::string_view text) {
    const int rc =
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    if (rc != SQLITE_OK) db_.Fail(rc, "数据库参数无法设置");
}

void Statement::Bind(int index, std::int64_t value) {
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) db_.Fail(rc, "数据库参数无法设置");
}

bool Statement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    db_.Fail(rc, "数据库读写失败");
}

void Statement::Run() {
    Step();
    Reset();
}

void Statement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string_view Statement::Text(int column) const {
    // The blob form of a UTF-8 text is its bytes as stored: no terminator has
    // to be added. One column_value call, then the cheap value accessors.
    sqlite3_value* value = sqlite3_column_value(stmt_, column);
    const void* raw = db_.IsUtf8() ? sqlite3_value_blob(value) : sqlite3_value_text(value);
    if (!raw) return {};
    return {static_cast<const char*>(raw), static_cast<std::size_t>(sqlite3_value_bytes(value))};
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

Transaction::Transaction(Database& db) : db_(db) { db_.Execute("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (open_) sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    db_.Execute("COMMIT");
    open_ = false;
    // One append, demo run or initialisation ends here: its records reach
    // the database file, not only the journal beside it.
    db_.Checkpoint();
}

}  // namespace zorbix::store

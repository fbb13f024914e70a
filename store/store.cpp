#include "store/store.h"

#include <sqlite3.h>
#include <unistd.h>

#include "base/atomic_file.h"
#include "base/protected_targets.h"
#include "store/postgres_store.h"
#include "store/project_table.h"
#include "store/store_protection.h"

namespace zorbix::store {
namespace {

std::string Named(const std::filesystem::path& file) { return "数据库文件“" + file.string() + "”"; }

void RefuseReadOnly(const std::filesystem::path& file) {
    if (std::filesystem::exists(file) && ::access(file.c_str(), W_OK) != 0)
        throw base::Failure(Named(file) +
                            "是只读文件，无法保存数据。请取消它的只读属性后再启动程序。");
}

// Reads the schema, which fails for a file that is not a database and for
// a database that another program holds locked. A damaged file is
// reported as StoreDamaged by the database itself, leading to the backups.
void ProbeReadable(Database& db, const std::filesystem::path& file) {
    try {
        Statement probe(db, "SELECT count(*) FROM sqlite_master");
        probe.Step();
    } catch (const SqliteError& e) {
        if (e.code() == SQLITE_BUSY || e.code() == SQLITE_LOCKED)
            throw base::Failure(Named(file) + "正被其他程序锁定。请关闭使用它的程序后重试。");
        throw base::Failure(Named(file) + "无法读取：" + e.what());
    }
}

// A program directory where nothing can be created: SQLite needs its
// journal files beside the database, so nothing could be saved.
void RefuseUnwritableDirectory(const std::filesystem::path& directory) {
    if (::access(directory.c_str(), W_OK) != 0)
        throw base::Failure("程序目录“" + directory.string() +
                            "”中不能写入文件，程序无法保存数据。请取消该目录的只读属性，"
                            "或者用 --dir 指定一个可写的目录。");
}

// The project table is created only in a new database: no file, or a file
// of zero bytes (what SQLite leaves before its first commit).
bool IsNewDatabase(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    return error || size == 0;
}

// Someone else's SQLite file, or one whose table was renamed, is never
// taken over by creating the project table in it.
void RefuseForeign(const std::filesystem::path& file) {
    throw base::Failure(Named(file) +
                        "不是本程序的数据库文件，或者已经损坏。请把它移走后再启动程序。");
}

void CheckTable(Database& db, const std::filesystem::path& file) {
    const auto missing = MissingColumns(db);
    if (missing.empty()) return;
    std::string names;
    for (const auto& m : missing) names += (names.empty() ? "" : "、") + m;
    throw base::Failure(Named(file) + "中的数据表kjxmzxqk缺少以下列：" + names +
                        "。它不是本程序的数据库，程序没有改动它。");
}

// Takes the write lock once, so a database locked by another program is
// refused at start instead of at the first save.
void ProbeWritable(Database& db, const std::filesystem::path& file) {
    try {
        db.Execute("BEGIN IMMEDIATE");
        db.Execute("COMMIT");
    } catch (const SqliteError& e) {
        if (e.code() == SQLITE_BUSY || e.code() == SQLITE_LOCKED)
            throw base::Failure(Named(file) + "正被其他程序锁定。请关闭使用它的程序后重试。");
        if (e.code() == SQLITE_READONLY)
            throw base::Failure(Named(file) + "无法写入（文件或其所在目录是只读的）。");
        throw base::Failure(Named(file) + "无法写入：" + e.what());
    }
}

// The temporaries of runs killed while writing (an export, a backup, a
// restore), in the program directory and its backup folder. Copies that an
// earlier version left half-made in the backup folder carry no process
// number; the instance lock says nobody is making one now.
void RemoveWhatKilledRunsLeft(const std::filesystem::path& directory) {
    base::RemoveLeftoverTemporaries(directory);
    const auto backups = directory / kBackupFolderName;
    base::RemoveLeftoverTemporaries(backups);
    std::error_code error;
    for (std::filesystem::directory_iterator it(backups, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (name.starts_with(".zorbix2013-") && name.ends_with(".partial"))
            std::filesystem::remove(it->path(), ignored);
    }
}

}  // namespace

Store::Store(const std::filesystem::path& directory) : Store(directory, std::string()) {}

Store::Store(const std::filesystem::path& directory, const std::string& database)
    : directory_(directory) {
    if (database.empty()) {
        lock_.emplace(directory);
        OpenFile();
        return;
    }
    db_ = OpenPostgresStore(database, directory);
    records_ = std::make_unique<RecordSet>(*db_);
    // The directory's own file may still hold a store (the one moved up,
    // or the one a start without --database opens): no output replaces it.
    ProtectStoreFiles(directory, file(), this);
}

void Store::OpenFile() {
    const auto& directory = directory_;
    const auto path = file();
    RemoveWhatKilledRunsLeft(directory);
    RefuseReadOnly(path);
    RefuseUnwritableDirectory(directory);
    const bool is_new = IsNewDatabase(path);
    auto opened = std::make_unique<SqliteDatabase>(path);
    SqliteDatabase& sqlite = *opened;
    db_ = std::move(opened);
    if (sqlite.IsReadOnly())
        throw base::Failure(Named(path) + "只能以只读方式打开，无法保存数据。");
    ProbeReadable(*db_, path);
    const bool has_table = HasProjectTable(*db_);
    if (has_table)
        CheckTable(*db_, path);
    else if (!is_new)
        RefuseForeign(path);
    ProbeWritable(*db_, path);

    // Created before the journal mode changes, in one commit: a kill
    // part-way leaves an empty file, which the next start takes as new.
    if (!has_table) {
        Transaction creation(*db_);
        CreateProjectTable(*db_);
        creation.Commit();
    }
    // A power cut never loses a written record: every commit reaches the disk.
    db_->Execute("PRAGMA journal_mode=WAL");
    db_->Execute("PRAGMA synchronous=FULL");
    // What a killed run left in the journal goes into the database now, so
    // the store is one file again.
    db_->Checkpoint();
    if (has_table) EnsureOrderIndex(*db_);
    records_ = std::make_unique<RecordSet>(*db_);
    // From now until the store closes, no output replaces its files.
    ProtectStoreFiles(directory, path, this);
}

Store::~Store() {
    try {
        if (records_ && records_->HasPendingChange()) records_->WriteBack();
    } catch (...) {
        // Nothing is left to tell at this point; the database keeps the
        // record as it was last written.
    }
    base::ForgetProtectedFiles(this);
}

}  // namespace zorbix::store

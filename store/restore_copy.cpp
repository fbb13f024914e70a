#include "store/restore_copy.h"

#include <sqlite3.h>

#include <vector>

#include "store/backup_files.h"
#include "store/catalogue.h"
#include "store/change_history.h"
#include "store/damaged_store.h"
#include "store/project_table.h"
#include "store/sqlite_db.h"
#include "store/store_copy.h"
#include "store/value_rules.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

struct Mending {
    std::int64_t rowid;
    int column;
    std::string project;
    MendedValue mended;
};

std::vector<Mending> FindMendings(Database& db) {
    std::vector<Mending> found;
    Statement rows(db, "SELECT rowid," + ColumnList() + " FROM kjxmzxqk");
    const auto columns = Columns();
    while (rows.Step()) {
        for (const Column& column : columns) {
            const std::string_view value = rows.Text(column.index + 1);
            if (!ValueFault(column, value)) continue;
            found.push_back({rows.Int(0), column.index, std::string(rows.Text(kNumberColumn + 1)),
                             MendValue(column, value)});
        }
    }
    return found;
}

std::string Describe(const std::vector<Mending>& found) {
    if (found.empty()) return {};
    std::string text = "\n备份中有" + std::to_string(found.size()) +
                       "处数据含有本程序的输出文件无法保存的字符，已改正：";
    const std::size_t shown = std::min<std::size_t>(found.size(), 5);
    for (std::size_t i = 0; i < shown; ++i)
        text += "\n" + ValuePlace(found[i].project, Columns()[found[i].column]) + "：" +
                found[i].mended.what + "。";
    if (found.size() > shown)
        text += "\n……其余" + std::to_string(found.size() - shown) + "处没有列出。";
    return text;
}

void Copy(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (!fs::exists(from, error)) return;
    if (!fs::copy_file(from, to, error))
        throw base::Failure("无法把损坏的数据库复制为“" + to.string() + "”：" + error.message() +
                            "。数据没有改动");
}

}  // namespace

std::string MendRestoredValues(Database& db) {
    const auto found = FindMendings(db);
    for (const Mending& m : found) {
        Statement update(
            db, "UPDATE kjxmzxqk SET \"" + Columns()[m.column].name + "\"=?1 WHERE rowid=?2");
        update.Bind(1, m.mended.value);
        update.Bind(2, m.rowid);
        update.Run();
    }
    return Describe(found);
}

namespace {

// A PostgreSQL store takes the backup's rows over the connection, in one
// transaction nobody sees half done.
std::string CopyBackupIntoServer(RecordSet& records, const fs::path& copy) {
    Database& db = records.database();
    SqliteDatabase source(copy);
    OperationLabel label(records, operation::kRestore);
    Transaction transaction(db);
    records.history().LogAllRemoved(operation::kRestore);
    db.Execute("DELETE FROM kjxmzxqk");
    CopyProjectRows(source, db);
    const std::string mended = MendRestoredValues(db);
    records.history().LogAllAdded(operation::kRestore);
    transaction.Commit();
    return mended;
}

}  // namespace

std::string CopyBackupIn(RecordSet& records, const fs::path& copy) {
    if (records.database().engine() == Engine::Postgres) return CopyBackupIntoServer(records, copy);
    Database& db = records.database();
    {
        Statement attach(db, "ATTACH ?1 AS backup_source");
        attach.Bind(1, copy.string());
        attach.Run();
    }
    std::string mended;
    try {
        OperationLabel label(records, operation::kRestore);
        Transaction transaction(db);
        records.history().LogAllRemoved(operation::kRestore);
        db.Execute("DELETE FROM main.kjxmzxqk");
        db.Execute("INSERT INTO main.kjxmzxqk (rowid," + ColumnList() + ") SELECT rowid," +
                   ColumnList() + " FROM backup_source.kjxmzxqk");
        mended = MendRestoredValues(db);
        records.history().LogAllAdded(operation::kRestore);
        transaction.Commit();
    } catch (...) {
        db.Execute("DETACH backup_source");
        throw;
    }
    db.Execute("DETACH backup_source");
    return mended;
}

fs::path KeepDamagedStoreAside(Database& store) {
    SqliteDatabase& db = AsSqlite(store, "恢复损坏的数据库");
    const fs::path aside = DamagedStoreName(db.file());
    Copy(db.file(), aside);
    Copy(db.file().string() + "-wal", aside.string() + "-wal");
    return aside;
}

std::string OverwriteDamagedStore(RecordSet& records, const fs::path& copy) {
    SqliteDatabase& db = AsSqlite(records.database(), "恢复损坏的数据库");
    FileConnection source = OpenUnchanged(copy);
    if (!source.ok()) throw base::Failure("备份无法读取：" + source.Error());
    sqlite3_backup* backup = sqlite3_backup_init(db.handle(), "main", source.get(), "main");
    if (!backup) db.Fail(sqlite3_errcode(db.handle()), "备份无法写入数据库");
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE) db.Fail(stepped, "备份无法写入数据库");
    if (finished != SQLITE_OK) db.Fail(finished, "备份无法写入数据库");
    records.Reopen();
    return LogReplacedStore(records);
}

std::string LogReplacedStore(RecordSet& records) {
    Database& db = records.database();
    OperationLabel label(records, operation::kRestore);
    Transaction transaction(db);
    if (db.engine() == Engine::Sqlite) db.Execute("PRAGMA user_version=0");
    const std::string mended = MendRestoredValues(db);
    records.history().LogAllAdded(operation::kRestore);
    transaction.Commit();
    return mended;
}

}  // namespace zorbix::store

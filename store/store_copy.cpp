#include "store/store_copy.h"

#include "store/change_history.h"
#include "store/project_rows.h"
#include "store/project_table.h"
#include "store/sqlite_db.h"

namespace zorbix::store {
namespace {

// One read transaction over the copy, so it is one moment of the store.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Database& db) : db_(db), own_(db.IsAutocommit()) {
        if (!own_) return;
        db_.Execute(db_.engine() == Engine::Postgres
                        ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"
                        : "BEGIN");
    }
    ~ReadSnapshot() {
        if (own_) db_.Rollback();
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Database& db_;
    bool own_;
};

constexpr const char* kHistoryColumns =
    "time, operation, project, column_name, old_value, new_value, who";

}  // namespace

int CopyProjectRows(Database& from, Database& to) {
    ReadSnapshot snapshot(from);
    ProjectRows source(from);
    ProjectRows target(to);
    int copied = 0;
    source.ReadAll([&](int, std::int64_t, Record& row) {
        target.Insert(row);
        ++copied;
    });
    return copied;
}

int CopyHistoryLines(Database& from, Database& to) {
    if (!HasTable(from, kHistoryTable)) return 0;
    ReadSnapshot snapshot(from);
    CreateHistoryTable(to);
    Statement read(
        from, std::string("SELECT ") + kHistoryColumns + " FROM " + kHistoryTable + " ORDER BY id");
    Statement write(to, std::string("INSERT INTO ") + kHistoryTable + " (" + kHistoryColumns +
                            ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    int copied = 0;
    while (read.Step()) {
        for (int c = 0; c < 7; ++c) write.Bind(c + 1, read.Text(c));
        write.Run();
        ++copied;
    }
    return copied;
}

void CopyIntoNewFile(Database& from, const std::filesystem::path& target) {
    SqliteDatabase copy(target);
    copy.Execute("PRAGMA synchronous=OFF");
    Transaction transaction(copy);
    CreateProjectTable(copy);
    CreateHistoryTable(copy);
    // Both from one moment: the history tells of the projects copied.
    ReadSnapshot snapshot(from);
    CopyProjectRows(from, copy);
    CopyHistoryLines(from, copy);
    transaction.Commit();
}

int ProjectCount(Database& db) {
    Statement q(db, "SELECT count(*) FROM kjxmzxqk");
    q.Step();
    return static_cast<int>(q.Int(0));
}

int HistoryLineCount(Database& db) {
    if (!HasTable(db, kHistoryTable)) return 0;
    Statement q(db, std::string("SELECT count(*) FROM ") + kHistoryTable);
    q.Step();
    return static_cast<int>(q.Int(0));
}

}  // namespace zorbix::store

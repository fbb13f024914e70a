#include "store/change_history.h"

#include <ctime>

#include "store/catalogue.h"
#include "store/local_time.h"

namespace zorbix::store {
namespace {

constexpr int kNameColumn = 2;  // JB01

const std::string kInsertSql = std::string("INSERT INTO ") + kHistoryTable +
                               " (time, operation, project, column_name, old_value, new_value)"
                               " VALUES (?1, ?2, ?3, ?4, ?5, ?6)";

}  // namespace

ChangeHistory::ChangeHistory(Database& db) : db_(db) {}

ChangeHistory::~ChangeHistory() = default;

bool ChangeHistory::HasTable() {
    Statement q(db_, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?1");
    q.Bind(1, kHistoryTable);
    q.Step();
    return q.Int(0) > 0;
}

void ChangeHistory::EnsureTable() {
    insert_.reset();
    db_.Execute(std::string("CREATE TABLE IF NOT EXISTS ") + kHistoryTable +
                " (id INTEGER PRIMARY KEY, time TEXT, operation TEXT, project TEXT,"
                " column_name TEXT, old_value TEXT, new_value TEXT)");
    db_.Execute(std::string("CREATE INDEX IF NOT EXISTS ") + kHistoryTable + "_project ON " +
                kHistoryTable + " (project, id)");
    insert_ = std::make_unique<Statement>(db_, kInsertSql);
}

void ChangeHistory::Insert(std::string_view op, std::string_view project, std::string_view column,
                           std::string_view old_value, std::string_view new_value) {
    const long long now = std::time(nullptr);
    if (time_.empty() || now != time_read_at_) {
        time_ = LocalTimeNow("%Y-%m-%d %H:%M:%S");
        time_read_at_ = now;
    }
    for (int attempt = 0;; ++attempt) {
        try {
            if (!insert_) EnsureTable();
            insert_->Bind(1, time_);
            insert_->Bind(2, op);
            insert_->Bind(3, project);
            insert_->Bind(4, column);
            insert_->Bind(5, old_value);
            insert_->Bind(6, new_value);
            insert_->Run();
            return;
        } catch (const SqliteError&) {
            // A table dropped by a rolled-back transaction is made again once.
            insert_.reset();
            if (attempt > 0 || HasTable()) throw;
        }
    }
}

void ChangeHistory::LogEdit(std::string_view op, const Record& before, const Record& after) {
    const std::string_view project = after[kNumberColumn];
    if (before[kNumberColumn] != project) MoveLines(before[kNumberColumn], project);
    for (int c = 0; c < kColumnCount; ++c)
        if (before[c] != after[c]) Insert(op, project, Columns()[c].name, before[c], after[c]);
}

// A project whose number was mended keeps its earlier lines: they follow it
// to its new number, where the line of the mend itself tells the old one.
void ChangeHistory::MoveLines(std::string_view from, std::string_view to) {
    if (!HasTable()) return;
    Statement move(db_,
                   std::string("UPDATE ") + kHistoryTable + " SET project = ?1 WHERE project = ?2");
    move.Bind(1, to);
    move.Bind(2, from);
    move.Run();
}

void ChangeHistory::LogAdded(std::string_view op, const Record& row) {
    Insert(op, row[kNumberColumn], "", "", row[kNameColumn]);
}

void ChangeHistory::LogRemoved(std::string_view op, const Record& row) {
    Insert(op, row[kNumberColumn], "", row[kNameColumn], "");
}

void ChangeHistory::InsertEveryProject(std::string_view op, bool removed) {
    if (!HasTable()) EnsureTable();
    Statement copy(db_, std::string("INSERT INTO ") + kHistoryTable +
                            " (time, operation, project, column_name, old_value, new_value)"
                            " SELECT ?1, ?2, JB02, '', " +
                            (removed ? "JB01, ''" : "'', JB01") + " FROM kjxmzxqk ORDER BY rowid");
    copy.Bind(1, LocalTimeNow("%Y-%m-%d %H:%M:%S"));
    copy.Bind(2, op);
    copy.Run();
}

void ChangeHistory::LogAllRemoved(std::string_view op) { InsertEveryProject(op, true); }

void ChangeHistory::LogAllAdded(std::string_view op) { InsertEveryProject(op, false); }

std::vector<HistoryLine> ChangeHistory::ForProject(std::string_view project) {
    std::vector<HistoryLine> lines;
    if (!HasTable()) return lines;
    Statement q(db_, std::string("SELECT time, operation, project, column_name, old_value,"
                                 " new_value FROM ") +
                         kHistoryTable + " WHERE project=?1 ORDER BY id DESC");
    q.Bind(1, project);
    while (q.Step())
        lines.push_back({std::string(q.Text(0)), std::string(q.Text(1)), std::string(q.Text(2)),
                         std::string(q.Text(3)), std::string(q.Text(4)), std::string(q.Text(5))});
    return lines;
}

std::unordered_map<std::string, std::string> ChangeHistory::LastChangeTimes() {
    std::unordered_map<std::string, std::string> times;
    if (!HasTable()) return times;
    Statement q(
        db_, std::string("SELECT project, max(time) FROM ") + kHistoryTable + " GROUP BY project");
    while (q.Step()) times.emplace(std::string(q.Text(0)), std::string(q.Text(1)));
    return times;
}

}  // namespace zorbix::store

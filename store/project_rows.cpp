#include "store/project_rows.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <optional>
#include <thread>
#include <unordered_map>

#include "store/catalogue.h"
#include "store/project_table.h"
#include "store/sqlite_db.h"

namespace zorbix::store {
namespace {

// Where the rowid, the version and the first value stand in a row read.
constexpr int kRowidField = 0;
constexpr int kVersionField = 1;
constexpr int kFirstValueField = 2;

const std::string kRowidParameter = "?" + std::to_string(kColumnCount + 1);
const std::string kVersionParameter = "?" + std::to_string(kColumnCount + 2);
const std::string kUserParameter = "?" + std::to_string(kColumnCount + 3);
const std::string kInsertUserParameter = "?" + std::to_string(kColumnCount + 1);
const std::string kInsertRowidParameter = "?" + std::to_string(kColumnCount + 2);

// On PostgreSQL a write names the version it read and is refused (no row
// comes back) when the row moved on meanwhile.
std::string UpdateSql(const Database& db) {
    std::string sql = "UPDATE kjxmzxqk SET ";
    for (const Column& c : Columns()) {
        if (c.index > 0) sql += ',';
        sql += '"' + c.name + "\"=?" + std::to_string(c.index + 1);
    }
    if (db.engine() == Engine::Sqlite) return sql + " WHERE rowid=" + kRowidParameter;
    return sql + ", version = version + 1, changed_by = " + kUserParameter +
           ", changed_at = to_char(localtimestamp(0), 'YYYY-MM-DD HH24:MI:SS')"
           " WHERE rowid=" +
           kRowidParameter + " AND version=" + kVersionParameter + " RETURNING version";
}

std::string InsertSql(const Database& db) {
    std::string sql = "INSERT INTO kjxmzxqk (" + ColumnList();
    if (db.engine() == Engine::Postgres) sql += ",changed_by,rowid";
    sql += ") VALUES (";
    for (int i = 0; i < kColumnCount; ++i) sql += (i ? ",?" : "?") + std::to_string(i + 1);
    if (db.engine() == Engine::Postgres)
        return sql + "," + kInsertUserParameter + "," + kInsertRowidParameter + ")";
    return sql + ")";
}

// The version of a row as read: SQLite keeps none.
std::string VersionField(const Database& db) {
    return db.engine() == Engine::Sqlite ? "0" : "version";
}

std::string BlockSql(const Database& db) {
    const std::string head =
        "SELECT rowid," + VersionField(db) + "," + ColumnList() + " FROM kjxmzxqk WHERE rowid ";
    return head + (db.engine() == Engine::Sqlite ? "IN (SELECT value FROM json_each(?1))"
                                                 : "= ANY(CAST(?1 AS bigint[]))");
}

// A block of rowids travels as one array, JSON for SQLite and an array
// literal for PostgreSQL: one statement reads the whole block, which is
// what makes walks fast.
std::string RowidArray(const Database& db, std::span<const std::int64_t> rowids) {
    const bool sqlite = db.engine() == Engine::Sqlite;
    std::string text = sqlite ? "[" : "{";
    for (std::size_t i = 0; i < rowids.size(); ++i) {
        if (i) text += ',';
        text += std::to_string(rowids[i]);
    }
    return text + (sqlite ? "]" : "}");
}

const std::string kEmpty;

}  // namespace

ProjectRows::ProjectRows(Database& db)
    : db_(db),
      select_(std::make_unique<Statement>(db, BlockSql(db))),
      update_(std::make_unique<Statement>(db, UpdateSql(db))),
      insert_(std::make_unique<Statement>(db, InsertSql(db))),
      delete_(std::make_unique<Statement>(db, "DELETE FROM kjxmzxqk WHERE rowid=?1")) {}

ProjectRows::~ProjectRows() = default;

bool ProjectRows::Read(std::span<const std::int64_t> rowids, std::vector<Record>& rows) {
    std::unordered_map<std::int64_t, std::size_t> slot;
    slot.reserve(rowids.size());
    for (std::size_t i = 0; i < rowids.size(); ++i) slot.emplace(rowids[i], i);
    rows.resize(rowids.size());
    std::vector<bool> found(rowids.size(), false);

    select_->Bind(1, RowidArray(db_, rowids));
    while (select_->Step()) {
        const std::size_t i = slot.at(select_->Int(kRowidField));
        Record& row = rows[i];
        row.Assign([&](int c) { return select_->Text(c + kFirstValueField); });
        row.set_version(select_->Int(kVersionField));
        found[i] = true;
    }
    select_->Reset();
    bool all = true;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (found[i]) continue;
        rows[i].Clear();
        all = false;
    }
    return all;
}

namespace {

// Which columns a scan reads: all, or a chosen few (the others empty).
struct ScanColumns {
    std::string list;       // the select list after "rowid,"
    std::vector<int> slot;  // per record column, its place in the list; -1 unread
};

ScanColumns AllColumns() {
    ScanColumns all{ColumnList(), std::vector<int>(kColumnCount)};
    for (int c = 0; c < kColumnCount; ++c) all.slot[c] = c;
    return all;
}

ScanColumns ChosenColumns(std::span<const int> columns) {
    ScanColumns chosen{"", std::vector<int>(kColumnCount, -1)};
    int place = 0;
    for (int c : columns) {
        if (c < 0 || c >= kColumnCount || chosen.slot[c] >= 0) continue;
        if (place > 0) chosen.list += ',';
        chosen.list += '"' + Columns()[c].name + '"';
        chosen.slot[c] = place++;
    }
    if (place == 0) chosen.list = "NULL";  // nothing asked: rowids only
    return chosen;
}

// Hands each row of a scan to `take`; returns the last rowid met.
std::int64_t TakeRows(Statement& scan, int lane, const ScanColumns& columns,
                      const ProjectRows::Taker& take, std::int64_t last_met) {
    Record row;
    while (scan.Step()) {
        row.Assign([&](int c) {
            const int slot = columns.slot[c];
            return slot < 0 ? std::string_view() : scan.Text(slot + kFirstValueField);
        });
        row.set_version(scan.Int(kVersionField));
        last_met = scan.Int(kRowidField);
        take(lane, last_met, row);
    }
    return last_met;
}

// Rows from `rowid > after` up to `rowid <= last` (none: no upper bound).
void Scan(Database& db, int lane, std::int64_t after, std::optional<std::int64_t> last,
          const ScanColumns& columns, const ProjectRows::Taker& take) {
    std::string sql =
        "SELECT rowid," + VersionField(db) + "," + columns.list + " FROM kjxmzxqk WHERE rowid > ?1";
    if (last) sql += " AND rowid <= ?2";
    Statement scan(db, sql);
    scan.Bind(1, after);
    if (last) scan.Bind(2, *last);
    TakeRows(scan, lane, columns, take, after);
}

// PostgreSQL hands a statement's rows over whole: the table comes in
// blocks, in rowid order, so a walk costs a few round trips and holds one
// block at a time.
constexpr int kPostgresBlockRows = 4096;

void ScanInBlocks(Database& db, const ScanColumns& columns, const ProjectRows::Taker& take) {
    Statement scan(db, "SELECT rowid," + VersionField(db) + "," + columns.list +
                           " FROM kjxmzxqk WHERE rowid > ?1 ORDER BY rowid LIMIT " +
                           std::to_string(kPostgresBlockRows));
    std::int64_t after = std::numeric_limits<std::int64_t>::min();
    for (;;) {
        scan.Bind(1, after);
        const std::int64_t last = TakeRows(scan, 0, columns, take, after);
        scan.Reset();
        if (last == after) return;
        after = last;
    }
}

// The rowid halfway between the lowest and the highest: two look-ups in the
// table's tree, where counting the rows would read every page. Rowids lie
// close together as SQLite hands them out, so this halves the rows too.
std::int64_t MiddleRowid(Database& db) {
    Statement q(db, "SELECT min(rowid), max(rowid) FROM kjxmzxqk");
    if (!q.Step()) return 0;
    const std::int64_t low = q.Int(0);
    const std::uint64_t span =
        static_cast<std::uint64_t>(q.Int(1)) - static_cast<std::uint64_t>(low);
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) + span / 2);
}

// Every row of the table; with in_two_halves (and no transaction open) the
// upper half is read at the same time on a second connection.
void ScanAll(Database& db, const ScanColumns& columns, const ProjectRows::Taker& take,
             bool in_two_halves) {
    if (db.engine() == Engine::Postgres) return ScanInBlocks(db, columns, take);
    // Outside a transaction every row is committed, so a second connection
    // sees what this one sees and can read the upper half on the other core.
    if (!in_two_halves || !db.IsAutocommit()) {
        Scan(db, 0, std::numeric_limits<std::int64_t>::min(), std::nullopt, columns, take);
        return;
    }
    const std::int64_t middle = MiddleRowid(db);
    std::exception_ptr failure;
    std::thread upper([&] {
        try {
            SqliteDatabase other(AsSqlite(db, "分两路读取").file());
            Scan(other, 1, middle, std::nullopt, columns, take);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        Scan(db, 0, std::numeric_limits<std::int64_t>::min(), middle, columns, take);
    } catch (...) {
        upper.join();
        throw;
    }
    upper.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace

void ProjectRows::ReadAll(const Taker& take, bool in_two_halves) {
    ScanAll(db_, AllColumns(), take, in_two_halves);
}

void ProjectRows::ReadColumns(std::span<const int> columns, const Taker& take, bool in_two_halves) {
    ScanAll(db_, ChosenColumns(columns), take, in_two_halves);
}

std::optional<std::int64_t> ProjectRows::Write(std::int64_t rowid, const Record& values) {
    for (int i = 0; i < kColumnCount; ++i) update_->Bind(i + 1, values[i]);
    update_->Bind(kColumnCount + 1, rowid);
    if (db_.engine() == Engine::Sqlite) {
        update_->Run();
        return 0;
    }
    update_->Bind(kColumnCount + 2, values.version());
    update_->Bind(kColumnCount + 3, db_.User());
    std::optional<std::int64_t> version;
    if (update_->Step()) version = update_->Int(0);
    update_->Reset();
    return version;
}

std::int64_t ProjectRows::Insert(const Record& values) {
    // Every column is bound again before each insert, so no binding outlives
    // its record.
    for (int i = 0; i < kColumnCount; ++i) insert_->BindUncopied(i + 1, values[i]);
    if (db_.engine() == Engine::Sqlite) {
        insert_->Run();
        return AsSqlite(db_, "").LastInsertRowId();
    }
    // The row's number is known before it is sent, so a transaction sends
    // its rows on without waiting for each (store/postgres_db.h).
    const std::int64_t rowid = NextRowid();
    insert_->Bind(kColumnCount + 1, db_.User());
    insert_->Bind(kColumnCount + 2, rowid);
    insert_->Run();
    return rowid;
}

std::int64_t ProjectRows::NextRowid() {
    if (reserved_.empty()) {
        Statement q(db_,
                    "SELECT nextval(pg_get_serial_sequence('kjxmzxqk', 'rowid'))"
                    " FROM generate_series(1, 1024)");
        while (q.Step()) reserved_.push_back(q.Int(0));
        std::reverse(reserved_.begin(), reserved_.end());
    }
    const std::int64_t rowid = reserved_.back();
    reserved_.pop_back();
    return rowid;
}

std::optional<RowChange> ProjectRows::LastChange(std::int64_t rowid) {
    if (db_.engine() == Engine::Sqlite) return std::nullopt;
    Statement q(db_, "SELECT changed_by, changed_at, version FROM kjxmzxqk WHERE rowid=?1");
    q.Bind(1, rowid);
    if (!q.Step()) return std::nullopt;
    return RowChange{std::string(q.Text(0)), std::string(q.Text(1)), q.Int(2)};
}

void ProjectRows::Delete(std::int64_t rowid) {
    delete_->Bind(1, rowid);
    delete_->Run();
}

void ProjectRows::DeleteAll() { db_.Execute("DELETE FROM kjxmzxqk"); }

}  // namespace zorbix::store

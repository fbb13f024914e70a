#include "store/project_rows.h"

#include <exception>
#include <limits>
#include <optional>
#include <thread>
#include <unordered_map>

#include "store/catalogue.h"
#include "store/project_table.h"

namespace zorbix::store {
namespace {

std::string UpdateSql() {
    std::string sql = "UPDATE kjxmzxqk SET ";
    for (const Column& c : Columns()) {
        if (c.index > 0) sql += ',';
        sql += '"' + c.name + "\"=?" + std::to_string(c.index + 1);
    }
    return sql + " WHERE rowid=?" + std::to_string(kColumnCount + 1);
}

std::string InsertSql() {
    std::string sql = "INSERT INTO kjxmzxqk (" + ColumnList() + ") VALUES (";
    for (int i = 0; i < kColumnCount; ++i) sql += (i ? ",?" : "?") + std::to_string(i + 1);
    return sql + ")";
}

// A block of rowids travels as one JSON array: one statement reads the
// whole block, which is what makes walks fast.
std::string JsonArray(std::span<const std::int64_t> rowids) {
    std::string json = "[";
    for (std::size_t i = 0; i < rowids.size(); ++i) {
        if (i) json += ',';
        json += std::to_string(rowids[i]);
    }
    return json + "]";
}

const std::string kEmpty;

}  // namespace

ProjectRows::ProjectRows(Database& db)
    : db_(db),
      select_(std::make_unique<Statement>(
          db, "SELECT rowid," + ColumnList() +
                  " FROM kjxmzxqk WHERE rowid IN (SELECT value FROM json_each(?1))")),
      update_(std::make_unique<Statement>(db, UpdateSql())),
      insert_(std::make_unique<Statement>(db, InsertSql())),
      delete_(std::make_unique<Statement>(db, "DELETE FROM kjxmzxqk WHERE rowid=?1")) {}

ProjectRows::~ProjectRows() = default;

bool ProjectRows::Read(std::span<const std::int64_t> rowids, std::vector<Record>& rows) {
    std::unordered_map<std::int64_t, std::size_t> slot;
    slot.reserve(rowids.size());
    for (std::size_t i = 0; i < rowids.size(); ++i) slot.emplace(rowids[i], i);
    rows.resize(rowids.size());
    std::vector<bool> found(rowids.size(), false);

    select_->Bind(1, JsonArray(rowids));
    while (select_->Step()) {
        const std::size_t i = slot.at(select_->Int(0));
        Record& row = rows[i];
        row.Assign([&](int c) { return select_->Text(c + 1); });
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

// Rows from `rowid > after` up to `rowid <= last` (none: no upper bound).
void Scan(Database& db, int lane, std::int64_t after, std::optional<std::int64_t> last,
          const ScanColumns& columns, const ProjectRows::Taker& take) {
    std::string sql = "SELECT rowid," + columns.list + " FROM kjxmzxqk WHERE rowid > ?1";
    if (last) sql += " AND rowid <= ?2";
    Statement scan(db, sql);
    scan.Bind(1, after);
    if (last) scan.Bind(2, *last);
    Record row;
    while (scan.Step()) {
        row.Assign([&](int c) {
            const int slot = columns.slot[c];
            return slot < 0 ? std::string_view() : scan.Text(slot + 1);
        });
        take(lane, scan.Int(0), row);
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
            Database other(db.file());
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

void ProjectRows::Write(std::int64_t rowid, const Record& values) {
    for (int i = 0; i < kColumnCount; ++i) update_->Bind(i + 1, values[i]);
    update_->Bind(kColumnCount + 1, rowid);
    update_->Run();
}

std::int64_t ProjectRows::Insert(const Record& values) {
    // Every column is bound again before each insert, so no binding outlives
    // its record.
    for (int i = 0; i < kColumnCount; ++i) insert_->BindUncopied(i + 1, values[i]);
    insert_->Run();
    return db_.LastInsertRowId();
}

void ProjectRows::Delete(std::int64_t rowid) {
    delete_->Bind(1, rowid);
    delete_->Run();
}

void ProjectRows::DeleteAll() { db_.Execute("DELETE FROM kjxmzxqk"); }

}  // namespace zorbix::store

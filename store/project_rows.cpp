#include "store/project_rows.h"

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
        row.Reset();
        for (int c = 0; c < kColumnCount; ++c) row.Append(select_->Text(c + 1));
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

void ProjectRows::ReadAll(const std::function<void(std::int64_t rowid, Record& row)>& take) {
    Statement scan(db_, "SELECT rowid," + ColumnList() + " FROM kjxmzxqk");
    Record row;
    while (scan.Step()) {
        row.Reset();
        for (int c = 0; c < kColumnCount; ++c) row.Append(scan.Text(c + 1));
        take(scan.Int(0), row);
    }
}

void ProjectRows::Write(std::int64_t rowid, const Record& values) {
    for (int i = 0; i < kColumnCount; ++i) update_->Bind(i + 1, values[i]);
    update_->Bind(kColumnCount + 1, rowid);
    update_->Run();
}

std::int64_t ProjectRows::Insert(const Row& values) {
    for (int i = 0; i < kColumnCount; ++i)
        insert_->Bind(i + 1, i < static_cast<int>(values.size()) ? values[i] : kEmpty);
    insert_->Run();
    return db_.LastInsertRowId();
}

void ProjectRows::Delete(std::int64_t rowid) {
    delete_->Bind(1, rowid);
    delete_->Run();
}

void ProjectRows::DeleteAll() { db_.Execute("DELETE FROM kjxmzxqk"); }

}  // namespace zorbix::store

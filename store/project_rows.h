// The rows of the project table as the record set needs them: read a block
// of rows by rowid in one statement, write, insert and delete one row. All
// statements are prepared once and name the columns in catalogue order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/record.h"

namespace zorbix::store {

struct RowChange {
    std::string who;
    std::string time;  // "2026-12-10 14:30:12"
    std::int64_t version = 0;
};

class ProjectRows {
public:
    explicit ProjectRows(Database& db);
    ~ProjectRows();

    // Reads the rows of these rowids into rows (resized to match); a rowid
    // that is not in the table leaves its row empty and returns false.
    bool Read(std::span<const std::int64_t> rowids, std::vector<Record>& rows);

    // Receives each row read; the record may be taken (moved) by it. The
    // lane says which thread reads the row: 0 the calling one, 1 the second.
    using Taker = std::function<void(int lane, std::int64_t rowid, Record& row)>;

    // Reads every row of the table in one scan, in table order. With
    // in_two_halves (and no transaction open) the upper half of the table is
    // read at the same time on a second connection: `take` is then called
    // from two threads at once, for different rows, lane 1 for the upper half.
    void ReadAll(const Taker& take, bool in_two_halves = false);

    // As ReadAll, reading only these columns; the records handed on hold
    // their values and every other column empty. A run that totals a few
    // columns of every project copies a third of the table this way.
    void ReadColumns(std::span<const int> columns, const Taker& take, bool in_two_halves = false);

    // Writes a row over the version `values` was read from and returns the
    // row's new version; nullopt, writing nothing, when the row is gone or
    // someone else wrote it meanwhile (PostgreSQL only: SQLite keeps no
    // versions, its rows answer 0 and have one writer).
    std::optional<std::int64_t> Write(std::int64_t rowid, const Record& values);
    std::int64_t Insert(const Record& values);
    // The version a row has when inserted.
    std::int64_t FirstVersion() const { return db_.engine() == Engine::Postgres ? 1 : 0; }
    // Who wrote a row last, when and its version; nullopt when the row is
    // gone or the store keeps no versions.
    std::optional<RowChange> LastChange(std::int64_t rowid);
    void Delete(std::int64_t rowid);
    void DeleteAll();

private:
    // Numbers for new PostgreSQL rows, taken from the table's sequence a
    // block at a time; the next one last.
    std::int64_t NextRowid();
    std::vector<std::int64_t> reserved_;

    Database& db_;
    std::unique_ptr<Statement> select_;
    std::unique_ptr<Statement> update_;
    std::unique_ptr<Statement> insert_;
    std::unique_ptr<Statement> delete_;
};

}  // namespace zorbix::store

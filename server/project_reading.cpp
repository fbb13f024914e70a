#include "server/project_reading.h"

#include <span>
#include <unordered_set>

#include "server/api_error.h"
#include "server/project_access.h"
#include "store/catalogue.h"

namespace zorbix::server {
namespace {

// Store order is the number compared byte by byte, then the order the rows
// came in; PostgreSQL's index on the number is in that collation.
bool OnPostgres(ReaderParts& reader) {
    return reader.database().engine() == store::Engine::Postgres;
}

const char* kFirstOfNumberSqlite =
    "SELECT rowid FROM kjxmzxqk WHERE JB02 = ?1 ORDER BY rowid LIMIT 1";
const char* kFirstOfNumberPostgres =
    "SELECT rowid FROM kjxmzxqk WHERE \"JB02\" COLLATE \"C\" = ?1 ORDER BY rowid LIMIT 1";

const char* kUnitsRowsSqlite =
    "SELECT rowid, JB02 FROM kjxmzxqk "
    "WHERE JB02 IN (SELECT project FROM project_owners WHERE unit = ?1) ORDER BY JB02, rowid";
// Driven by the unit's owned numbers, each looked up along the number's
// index: left to itself, the planner may read the whole project table
// for a unit's sixteen (20 ms instead of a fraction of one).
const char* kUnitsRowsPostgres =
    "SELECT k.rowid, o.project FROM project_owners o CROSS JOIN LATERAL "
    "(SELECT rowid FROM kjxmzxqk WHERE \"JB02\" COLLATE \"C\" = o.project "
    "ORDER BY rowid LIMIT 1) k "
    "WHERE o.unit = ?1 ORDER BY o.project COLLATE \"C\"";

std::vector<store::Record> ReadRows(ReaderParts& reader, std::span<const std::int64_t> rowids) {
    std::vector<store::Record> records;
    if (!rowids.empty()) reader.rows.Read(rowids, records);
    return records;
}

}  // namespace

std::optional<store::Record> ReadProject(ReaderParts& reader, const std::string& number) {
    store::Statement q(reader.database(),
                       OnPostgres(reader) ? kFirstOfNumberPostgres : kFirstOfNumberSqlite);
    q.Bind(1, number);
    if (!q.Step()) return std::nullopt;
    const std::int64_t rowid = q.Int(0);
    q.Reset();
    std::vector<store::Record> read = ReadRows(reader, std::span(&rowid, 1));
    // Removed between the two statements: as if it had never been there.
    if (read.empty() || read.front()[store::kNumberColumn] != number) return std::nullopt;
    return std::move(read.front());
}

store::Record ReachableRecord(ReaderParts& reader, const Caller& caller,
                              const std::string& number) {
    RequireStorableNumber(number);
    // For a unit the owner table decides first: a missing number and another
    // unit's take the same path from here.
    if (caller.IsUnit() && !reader.owners.Owns(caller.account.unit, number)) NoSuchProject(number);
    auto record = ReadProject(reader, number);
    if (!record) NoSuchProject(number);
    return std::move(*record);
}

std::vector<store::Record> ReadUnitsProjects(ReaderParts& reader, const std::string& unit) {
    store::Statement q(reader.database(),
                       OnPostgres(reader) ? kUnitsRowsPostgres : kUnitsRowsSqlite);
    q.Bind(1, unit);
    std::vector<std::int64_t> rowids;
    std::unordered_set<std::string> seen;
    while (q.Step())
        if (seen.emplace(q.Text(1)).second) rowids.push_back(q.Int(0));
    q.Reset();
    std::vector<store::Record> read = ReadRows(reader, rowids);
    // A row removed meanwhile reads as empty: it is not listed.
    std::erase_if(read, [](const store::Record& r) { return r[store::kNumberColumn].empty(); });
    return read;
}

}  // namespace zorbix::server

#include "server/progress_facts.h"

#include <unordered_set>
#include <vector>

#include "check/rule_sets.h"
#include "store/catalogue.h"
#include "store/project_rows.h"

namespace zorbix::server {
namespace {

// Compared byte by byte, as the store orders its numbers.
const char* const kRowsOfNumberSqlite = "SELECT rowid FROM kjxmzxqk WHERE JB02 = ?1 ORDER BY rowid";
const char* const kRowsOfNumberPostgres =
    "SELECT rowid FROM kjxmzxqk WHERE \"JB02\" COLLATE \"C\" = ?1 ORDER BY rowid";

int RegionColumn() { return store::ColumnIndex("JB22"); }    // 行政区划代码
int CategoryColumn() { return store::ColumnIndex("JB61"); }  // 计划类别

const std::vector<int>& FactsColumns() {
    static const std::vector<int> columns = [] {
        std::vector<int> all = FundsColumns();
        all.insert(all.end(), {store::kNumberColumn, RegionColumn(), CategoryColumn()});
        return all;
    }();
    return columns;
}

ProjectFacts FactsOf(const store::Record& record, int findings) {
    return {std::string(record[RegionColumn()]), std::string(record[CategoryColumn()]), findings,
            FundsPartOf(record)};
}

int FindingsOf(const store::Record& record) {
    check::CheckResult result;
    check::CheckAllTables(record, result);
    return static_cast<int>(result.findings.size());
}

// Every row stored under the number now, read on this connection as it is
// now (not from a record set that may not yet have heard of a change).
std::vector<store::Record> RowsOfNumber(store::Database& db, store::ProjectRows& rows,
                                        const std::string& number) {
    store::Statement query(
        db, db.engine() == store::Engine::Postgres ? kRowsOfNumberPostgres : kRowsOfNumberSqlite);
    query.Bind(1, number);
    std::vector<std::int64_t> rowids;
    while (query.Step()) rowids.push_back(query.Int(0));
    query.Reset();
    std::vector<store::Record> read;
    if (!rowids.empty()) rows.Read(rowids, read);
    // A row removed between the two statements reads as empty.
    std::erase_if(read, [&](const store::Record& r) { return r[store::kNumberColumn] != number; });
    return read;
}

}  // namespace

void ProjectFactsCache::ReadAll(StoreParts& parts, FindingsCache& findings) {
    const auto counts = findings.Counts(parts);
    store::Database& db = parts.store.database();
    FactsTable table;
    std::set<std::string> unchecked;
    store::ProjectRows rows(db);
    // Straight from the table, in the order of its rows; the multimap puts
    // them in store order.
    rows.ReadColumns(FactsColumns(), [&](int, std::int64_t, store::Record& row) {
        std::string number(row[store::kNumberColumn]);
        const auto found = counts.find(number);
        if (found == counts.end() && !number.empty()) unchecked.insert(number);
        table.emplace(number, FactsOf(row, found == counts.end() ? 0 : found->second));
    });
    table_ = std::move(table);
    // Added by another program after the findings were counted: checked now.
    if (!unchecked.empty()) Renew(db, unchecked);
}

void ProjectFactsCache::Renew(store::Database& db, const std::set<std::string>& numbers) {
    store::ProjectRows rows(db);
    for (const std::string& number : numbers) {
        const std::vector<store::Record> stored = RowsOfNumber(db, rows, number);
        table_.erase(number);
        for (const store::Record& record : stored)
            table_.emplace(number, FactsOf(record, FindingsOf(record)));
    }
}

Funds ProjectFactsCache::FundsOfAll() const {
    FundsTally tally;
    for (const auto& [number, facts] : table_) tally.Add(facts.funds);
    return tally.Lines();
}

}  // namespace zorbix::server

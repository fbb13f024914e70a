#include "store/project_table.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "store/catalogue.h"

namespace zorbix::store {

const std::string& ColumnList() {
    static const std::string list = [] {
        std::string s;
        for (const Column& c : Columns()) {
            if (!s.empty()) s += ',';
            s += '"' + c.name + '"';
        }
        return s;
    }();
    return list;
}

bool HasProjectTable(Database& db) {
    Statement q(db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?1");
    q.Bind(1, kTableName);
    q.Step();
    return q.Int(0) > 0;
}

void CreateProjectTable(Database& db) {
    std::string sql = "CREATE TABLE " + std::string(kTableName) + " (";
    for (const Column& c : Columns()) {
        if (c.index > 0) sql += ", ";
        sql += '"' + c.name + "\" TEXT";
    }
    sql += ")";
    db.Execute(sql);
    EnsureOrderIndex(db);
}

namespace {
// SQLite matches column names without regard to case; so does the check.
std::string Upper(std::string_view name) {
    std::string s(name);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}
}  // namespace

std::vector<std::string> MissingColumns(Database& db) {
    std::set<std::string> present;
    Statement q(db, "SELECT name FROM pragma_table_info(?1)");
    q.Bind(1, kTableName);
    while (q.Step()) present.insert(Upper(q.Text(0)));
    std::vector<std::string> missing;
    for (const Column& c : Columns())
        if (!present.count(Upper(c.name))) missing.push_back(c.name);
    return missing;
}

void EnsureOrderIndex(Database& db) {
    db.Execute("CREATE INDEX IF NOT EXISTS kjxmzxqk_JB02 ON kjxmzxqk (JB02)");
}

}  // namespace zorbix::store

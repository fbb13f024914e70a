#include "server/findings_cache.h"

#include <numeric>
#include <vector>

#include "check/rule_sets.h"
#include "server/project_version.h"
#include "store/catalogue.h"

namespace zorbix::server {
namespace {

std::vector<int> EveryColumn() {
    std::vector<int> columns(store::kColumnCount);
    std::iota(columns.begin(), columns.end(), 0);
    return columns;
}

}  // namespace

std::unordered_map<std::string, int> FindingsCache::Counts(StoreParts& parts) {
    store::RecordSet& records = parts.records();
    records.FollowChanges();
    const ProjectVersions versions(parts);
    std::unordered_map<std::string, std::int64_t> stale;
    std::unordered_map<std::string, Entry> current;
    const int number_column[] = {store::kNumberColumn};
    records.VisitColumns(number_column, [&](const store::Record& row) {
        const std::string number(row[store::kNumberColumn]);
        const std::int64_t version = versions.Of(row);
        const auto it = entries_.find(number);
        if (it != entries_.end() && it->second.version == version)
            current.emplace(number, it->second);
        else
            stale.emplace(number, version);
        return true;
    });
    if (!stale.empty()) {
        const std::vector<int> columns = EveryColumn();
        records.VisitColumns(columns, [&](const store::Record& record) {
            const std::string number(record[store::kNumberColumn]);
            const auto it = stale.find(number);
            if (it == stale.end()) return true;
            check::CheckResult result;
            check::CheckAllTables(record, result);
            current[number] = {it->second, static_cast<int>(result.findings.size())};
            return true;
        });
    }
    entries_ = std::move(current);
    std::unordered_map<std::string, int> counts;
    for (const auto& [number, entry] : entries_) counts.emplace(number, entry.findings);
    return counts;
}

}  // namespace zorbix::server

#include "server/project_list.h"

#include <vector>

#include "accounts/project_states.h"
#include "check/rule_sets.h"
#include "server/project_version.h"
#include "store/catalogue.h"

namespace zorbix::server {
namespace {

template <class Map>
auto Lookup(const Map& map, const std::string& key, typename Map::mapped_type fallback) {
    const auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}

// The findings of the four rule sets, as 上报 would meet them.
std::size_t FindingsCount(const store::Record& record) {
    check::CheckResult result;
    check::CheckAllTables(record, result);
    return result.findings.size();
}

// Every column: the rule sets read whole records.
std::vector<int> AllColumns() {
    std::vector<int> columns(store::kColumnCount);
    for (int i = 0; i < store::kColumnCount; ++i) columns[i] = i;
    return columns;
}

}  // namespace

Json ProjectListJson(StoreParts& parts, const Caller& caller) {
    store::RecordSet& records = parts.records();
    records.FollowChanges();
    const auto owners = parts.owners.All();
    const auto states = parts.states.All();
    const auto changes = records.history().LastChangeTimes();
    const ProjectVersions versions(parts);
    static const std::vector<int> columns = AllColumns();
    Json list = Json::array();
    records.VisitColumns(columns, [&](const store::Record& row) {
        const std::string number(row[store::kNumberColumn]);
        const std::string unit = Lookup(owners, number, std::string());
        if (caller.IsUnit() && unit != caller.account.unit) return true;
        const auto change = changes.find(number);
        list.push_back(
            {{"number", number},
             {"name", row[store::ColumnIndex("JB01")]},
             {"unit", unit},
             {"state",
              accounts::StateCaption(Lookup(states, number, accounts::ProjectState::NotStarted))},
             {"version", versions.Of(row)},
             {"findings", FindingsCount(row)},
             {"last_change", change == changes.end() ? Json(nullptr) : Json(change->second)}});
        return true;
    });
    return {{"projects", list}};
}

}  // namespace zorbix::server

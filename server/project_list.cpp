#include "server/project_list.h"

#include "accounts/project_states.h"
#include "check/rule_sets.h"
#include "store/catalogue.h"

namespace zorbix::server {
namespace {

template <class Map>
auto Lookup(const Map& map, const std::string& key, typename Map::mapped_type fallback) {
    const auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}

// The findings of the four rule sets, as 上报 would meet them.
std::size_t FindingsCount(const store::RecordSet& records, std::size_t index) {
    check::CheckResult result;
    check::CheckAllTables(records.ReadRow(static_cast<int>(index) + 1), result);
    return result.findings.size();
}

}  // namespace

Json ProjectListJson(StoreParts& parts, const Caller& caller) {
    store::RecordSet& records = parts.records();
    const auto numbers = records.ColumnValues(store::kNumberColumn);
    const auto names = records.ColumnValues(store::ColumnIndex("JB01"));
    const auto owners = parts.owners.All();
    const auto states = parts.states.All();
    const auto changes = records.history().LastChangeTimes();
    Json list = Json::array();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::string unit = Lookup(owners, numbers[i], std::string());
        if (caller.IsUnit() && unit != caller.account.unit) continue;
        const auto change = changes.find(numbers[i]);
        list.push_back(
            {{"number", numbers[i]},
             {"name", names[i]},
             {"unit", unit},
             {"state", accounts::StateCaption(
                           Lookup(states, numbers[i], accounts::ProjectState::NotStarted))},
             // Versions come with saving against a known version.
             {"version", 0},
             {"findings", FindingsCount(records, i)},
             {"last_change", change == changes.end() ? Json(nullptr) : Json(change->second)}});
    }
    return {{"projects", list}};
}

}  // namespace zorbix::server

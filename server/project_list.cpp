#include "server/project_list.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "accounts/project_states.h"
#include "check/rule_sets.h"
#include "server/project_reading.h"
#include "server/project_version.h"
#include "server/unit_project_facts.h"
#include "store/catalogue.h"
#include "store/change_history.h"
#include "store/project_table.h"

namespace zorbix::server {
namespace {

template <class Map>
auto Lookup(const Map& map, const std::string& key, typename Map::mapped_type fallback) {
    const auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}

const int kNameColumn = store::ColumnIndex("JB01");

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

Json Item(const std::string& number, const store::Record& record, const std::string& unit,
          accounts::ProjectState state, std::int64_t version, std::optional<std::string> change) {
    return {{"number", number},
            {"name", record[kNameColumn]},
            {"unit", unit},
            {"state", accounts::StateCaption(state)},
            {"version", version},
            {"findings", FindingsCount(record)},
            {"last_change", change ? Json(std::move(*change)) : Json(nullptr)}};
}

// The office's list: every project, in one scan of the table and one look
// at each server table.
Json EveryProject(StoreParts& parts) {
    store::RecordSet& records = parts.records();
    const auto owners = parts.owners.All();
    const auto states = parts.states.All();
    const auto changes = records.history().LastChangeTimes();
    const ProjectVersions versions(parts);
    static const std::vector<int> columns = AllColumns();
    Json list = Json::array();
    records.VisitColumns(columns, [&](const store::Record& row) {
        const std::string number(row[store::kNumberColumn]);
        const auto change = changes.find(number);
        list.push_back(
            Item(number, row, Lookup(owners, number, std::string()),
                 Lookup(states, number, accounts::ProjectState::NotStarted), versions.Of(row),
                 change == changes.end() ? std::nullopt : std::optional(change->second)));
        return true;
    });
    return list;
}

// One of a unit's projects as read under the store's lock; its findings
// and its JSON are made after the lock is given back.
struct ListedProject {
    std::string number;
    store::Record record;
    accounts::ProjectState state;
    std::int64_t version;
    std::optional<std::string> change;
};

// A unit's own projects, read on a reading connection: nothing of other
// units' is read.
std::vector<ListedProject> ReadUnitsList(ReaderParts& reader, const std::string& unit) {
    auto facts = FactsOfUnitsProjects(reader.database(), unit);
    std::vector<ListedProject> read;
    for (store::Record& record : ReadUnitsProjects(reader, unit)) {
        std::string number(record[store::kNumberColumn]);
        ListedFacts& f = facts[number];
        const std::int64_t version = VersionOf(reader.database(), record, f.newest_value_line);
        read.push_back(
            {std::move(number), std::move(record), f.state, version, std::move(f.last_change)});
    }
    return read;
}

Json UnitsProjectsJson(const std::vector<ListedProject>& read, const std::string& unit) {
    Json list = Json::array();
    for (const ListedProject& p : read)
        list.push_back(Item(p.number, p.record, unit, p.state, p.version, p.change));
    return list;
}

}  // namespace

Json ProjectListJson(SharedStore& store, const httplib::Request& request) {
    std::string unit;
    const auto read = store.Reading([&](ReaderParts& reader) {
        const Caller caller = RequireCaller(reader, request);
        if (!caller.IsUnit()) return std::optional<std::vector<ListedProject>>();
        unit = caller.account.unit;
        return std::optional(ReadUnitsList(reader, unit));
    });
    if (read) return {{"projects", UnitsProjectsJson(*read, unit)}};
    // The office's list: every project in one scan of the record set.
    return store.With([&](StoreParts& parts) {
        RequireCaller(parts, request);
        parts.records().FollowChanges();
        return Json{{"projects", EveryProject(parts)}};
    });
}

}  // namespace zorbix::server

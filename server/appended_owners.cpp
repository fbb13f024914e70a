#include "server/appended_owners.h"

#include "accounts/project_owners.h"
#include "server/plan_texts.h"
#include "store/catalogue.h"

namespace zorbix::server {
namespace {

constexpr const char* kUnitColumn = "XMCDDW";

}  // namespace

std::map<std::string, std::string> PlannedUnits(
    const std::vector<reconcile::PlannedProject>& plan) {
    std::map<std::string, std::string> units;
    for (const reconcile::PlannedProject& p : plan)
        if (std::string unit = PlannedUnit(p); !unit.empty())
            units.emplace(PlannedNumber(p), std::move(unit));
    return units;
}

std::optional<std::string> OwnerOfAppended(std::string_view number, std::string_view carried,
                                           const std::map<std::string, std::string>& planned,
                                           const std::set<std::string>& units) {
    if (const auto it = planned.find(Trimmed(number)); it != planned.end()) return it->second;
    const std::string name = Trimmed(carried);
    if (name.empty()) return std::nullopt;
    for (const std::string& unit : units)
        if (Trimmed(unit) == name) return unit;
    return name;
}

std::set<std::string> KnownUnits(store::Database& db) {
    std::set<std::string> units;
    store::Statement q(db, "SELECT name FROM units");
    while (q.Step()) units.emplace(q.Text(0));
    return units;
}

std::map<std::string, std::string> OwnAppended(store::RecordSet& records, int first,
                                               const std::map<std::string, std::string>& planned) {
    store::Database& db = records.database();
    const std::set<std::string> units = KnownUnits(db);
    accounts::ProjectOwners owners(db);
    std::map<std::string, std::string> owned;
    const int unit_column = store::ColumnIndex(kUnitColumn);
    for (int position = first; position <= records.Count(); ++position) {
        const store::Record record = records.ReadRow(position);
        const std::string number(record[store::kNumberColumn]);
        const auto owner = OwnerOfAppended(number, record[unit_column], planned, units);
        if (!owner) continue;
        owners.SetOwner(number, *owner);
        owned.emplace(number, *owner);
    }
    return owned;
}

}  // namespace zorbix::server

// Which unit a project appended from an exchange file belongs to, so that
// the projects of units without a network (sent as files) and those
// entered in the browser end up in the same store and the same progress:
// the unit the loaded plan names for its number; else the unit whose name
// the project carries in its unit column (XMCDDW); else none, and only the
// office sees it.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "reconcile/plan_list.h"
#include "store/database.h"
#include "store/record_set.h"

namespace zorbix::server {

// The plan's unit of each planned number (both trimmed of blanks); numbers
// the plan leaves without a unit are left out.
std::map<std::string, std::string> PlannedUnits(const std::vector<reconcile::PlannedProject>& plan);

// The rule itself. `carried`: the project's own unit column. A carried name
// is taken as the units table spells it when it matches one there after
// trimming blanks, and as it stands (trimmed) otherwise, as a plan's unit
// without an account yet is.
std::optional<std::string> OwnerOfAppended(std::string_view number, std::string_view carried,
                                           const std::map<std::string, std::string>& planned,
                                           const std::set<std::string>& units);

// The names of the units table.
std::set<std::string> KnownUnits(store::Database& db);

// Gives the records at positions first..records.Count() (those an append
// just added) their owners, in the caller's transaction (the append's own,
// so a project never comes in without its owner); answers {number: unit}
// of those that got one.
std::map<std::string, std::string> OwnAppended(store::RecordSet& records, int first,
                                               const std::map<std::string, std::string>& planned);

}  // namespace zorbix::server

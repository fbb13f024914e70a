// The lists of the progress page's filters: every unit that owns a
// project, the region picker's items (the code list the window offers for
// JB22) and the plan category picker's items (JB61).
#pragma once

#include <set>
#include <string>

#include "server/json_body.h"

namespace zorbix::server {

// A region's filter value: its code without the trailing pairs of zeros,
// the prefix every code within it starts with ("960100" gives "9601").
std::string RegionPrefix(const std::string& code);

// {"units": [name, …], "regions": [{"value", "text"}, …], "categories":
// [{"value", "text"}, …]}; a value is what the filter of the same name
// takes.
Json ProgressChoices(const std::set<std::string>& units);

}  // namespace zorbix::server

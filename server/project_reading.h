// Projects read on a reading connection (shared_store.h): each read asks
// the database, so what another request wrote a moment ago is there.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/session_gate.h"
#include "server/shared_store.h"
#include "store/record.h"

namespace zorbix::server {

// The first project with exactly this number in store order; nullopt when
// there is none.
std::optional<store::Record> ReadProject(ReaderParts& reader, const std::string& number);

// The project of this number when the caller may reach it: an office
// account every project, a unit its own. Throws ApiError 404 otherwise,
// the same for another unit's project as for a number that is not there.
store::Record ReachableRecord(ReaderParts& reader, const Caller& caller, const std::string& number);

// The projects a unit owns, in store order, each number once.
std::vector<store::Record> ReadUnitsProjects(ReaderParts& reader, const std::string& unit);

}  // namespace zorbix::server

// A cheap sign that the store changed, for what the progress page keeps
// between calls. Every change of a project, by whatever program, writes a
// line of the change history in its transaction: the history's first and
// last key, its number of lines and the number of projects move with
// every change. The key ends are index looks; the count also catches a
// line committed after one with a higher key (two PostgreSQL writers) and
// a restore, which replaces the history. A change of state writes such a
// line too, and costs one recount more.
#pragma once

#include <cstdint>

#include "server/shared_store.h"

namespace zorbix::server {

struct StoreMarker {
    std::int64_t first_line = 0;
    std::int64_t last_line = 0;
    std::int64_t lines = 0;
    int projects = 0;
    bool operator==(const StoreMarker&) const = default;
};

// Follows the changes of other programs first. Used under the store's lock.
StoreMarker MarkerOf(StoreParts& parts);

}  // namespace zorbix::server

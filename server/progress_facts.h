// What the progress page needs of each stored project beside its owner and
// state: its region and plan category for the filters and its count of
// findings. Read again only when the store changed (progress_marker.h), so
// the page's calls on an unchanged store cost a look at the owners and
// states, not a scan of every project and its history.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/findings_cache.h"
#include "server/progress_marker.h"
#include "server/shared_store.h"

namespace zorbix::server {

struct ProjectFacts {
    std::string number;
    std::string region;    // JB22
    std::string category;  // JB61
    int findings = 0;      // of the four rule sets
};

class ProjectFactsCache {
public:
    // Every stored project in store order. Used under the store's lock.
    const std::vector<ProjectFacts>& Of(StoreParts& parts, FindingsCache& findings,
                                        const StoreMarker& now);

private:
    std::optional<StoreMarker> marker_;
    std::vector<ProjectFacts> facts_;
};

}  // namespace zorbix::server

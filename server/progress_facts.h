// What the progress page needs of each stored project beside its owner and
// state: its region and plan category for the filters, its count of
// findings and what it posts into the funds' grids. Kept between calls and
// renewed per project as the change history names them
// (history_follower.h), so a call after one unit's save reads that one
// project again, not every project and its history.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "server/findings_cache.h"
#include "server/progress_funds.h"
#include "server/shared_store.h"
#include "store/record.h"

namespace zorbix::server {

struct ProjectFacts {
    std::string region;    // JB22
    std::string category;  // JB61
    int findings = 0;      // of the four rule sets
    FundsPart funds;
};

// By project number in store order (the number compared byte by byte,
// then the order the rows came in); a number stored twice is there twice.
using FactsTable = std::multimap<std::string, ProjectFacts>;

class ProjectFactsCache {
public:
    // Reads every project again, its findings through the findings cache.
    // Used under the store's lock.
    void ReadAll(StoreParts& parts, FindingsCache& findings);
    // Reads the projects of these numbers again, straight from the
    // database: a number no longer stored drops out.
    void Renew(store::Database& db, const std::set<std::string>& numbers);

    const FactsTable& table() const { return table_; }
    std::int64_t size() const { return static_cast<std::int64_t>(table_.size()); }
    // The funds over every project, summed as the summary run sums them.
    Funds FundsOfAll() const;

private:
    FactsTable table_;
};

}  // namespace zorbix::server

// What the progress calls keep between calls: each project's facts
// (progress_facts.h), the funds summed from them and the submissions per
// project and day. Before each call they follow the change history
// (history_follower.h): the projects it names are read again, and the
// funds summed again from what every project keeps; anything the history
// cannot tell project by project reads the whole store again. Used under
// the store's lock only.
#pragma once

#include <vector>

#include "server/findings_cache.h"
#include "server/history_follower.h"
#include "server/progress_days.h"
#include "server/progress_facts.h"
#include "server/progress_funds.h"
#include "server/shared_store.h"

namespace zorbix::server {

class ProgressCaches {
public:
    // Brings what is kept up to the store as it is now. A failure leaves
    // nothing half followed: the next call reads the whole store again.
    void Follow(StoreParts& parts, FindingsCache& findings);

    const FactsTable& facts() const { return facts_.table(); }
    const std::vector<Submission>& submissions() const { return submissions_; }
    const Funds& funds() const { return funds_; }

private:
    void ReadAll(StoreParts& parts, FindingsCache& findings);
    void TakeIn(store::Database& db, const HistoryNews& news);

    HistoryFollower follower_;
    ProjectFactsCache facts_;
    std::vector<Submission> submissions_;
    Funds funds_;
};

}  // namespace zorbix::server

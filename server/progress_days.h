// Submissions per day for the office's progress page, read from the change
// history: every submit writes a line of the state column (填报状态) with
// operation 网页上报 and the new state 已上报, so a project submitted again
// after a return counts again on its day.
#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "server/json_body.h"
#include "server/progress_marker.h"
#include "store/database.h"

namespace zorbix::server {

struct Submission {
    std::string number;
    std::string date;  // "2013-12-05"
};

// The history's submissions, read again only when the store changed
// (progress_marker.h). Used under the store's lock only.
class SubmissionsCache {
public:
    const std::vector<Submission>& Of(store::Database& db, const StoreMarker& now);

private:
    std::optional<StoreMarker> marker_;
    std::vector<Submission> submissions_;
};

struct DayCount {
    std::string date;
    int count = 0;
};

// The days with submissions of the projects in `counted`, oldest first.
std::vector<DayCount> SubmissionsPerDay(const std::vector<Submission>& submissions,
                                        const std::unordered_set<std::string>& counted);

// [{"date", "count"}, …].
Json DaysJson(const std::vector<DayCount>& days);

}  // namespace zorbix::server

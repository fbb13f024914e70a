// Submissions per day for the office's progress page, read from the change
// history: every submit writes a line of the state column (填报状态) with
// operation 网页上报 and the new state 已上报, so a project submitted again
// after a return counts again on its day.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "server/history_follower.h"
#include "server/json_body.h"
#include "store/database.h"

namespace zorbix::server {

// The submissions the history holds in its lines up to `last_line`
// (an id), oldest first; later ones come from the history follower.
std::vector<Submission> ReadSubmissions(store::Database& db, std::int64_t last_line);

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

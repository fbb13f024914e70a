#include "server/progress_days.h"

#include <map>

#include "accounts/project_states.h"
#include "server/project_history.h"
#include "store/change_history.h"
#include "store/project_table.h"

namespace zorbix::server {

std::vector<Submission> ReadSubmissions(store::Database& db, std::int64_t last_line) {
    std::vector<Submission> submissions;
    if (!store::HasTable(db, store::kHistoryTable)) return submissions;
    store::Statement query(db, std::string("SELECT project, substr(time, 1, 10) FROM ") +
                                   store::kHistoryTable +
                                   " WHERE column_name = ?1 AND operation = ?2 AND new_value = ?3"
                                   " AND id <= ?4 ORDER BY id");
    query.Bind(1, kStateColumn);
    query.Bind(2, kWebSubmit);
    query.Bind(3, accounts::StateCaption(accounts::ProjectState::Submitted));
    query.Bind(4, last_line);
    while (query.Step())
        submissions.push_back({std::string(query.Text(0)), std::string(query.Text(1))});
    return submissions;
}

std::vector<DayCount> SubmissionsPerDay(const std::vector<Submission>& submissions,
                                        const std::unordered_set<std::string>& counted) {
    std::map<std::string, int> per_day;
    for (const Submission& submission : submissions)
        if (counted.contains(submission.number)) ++per_day[submission.date];
    std::vector<DayCount> days;
    for (const auto& [date, count] : per_day) days.push_back({date, count});
    return days;
}

Json DaysJson(const std::vector<DayCount>& days) {
    Json json = Json::array();
    for (const DayCount& day : days) json.push_back({{"date", day.date}, {"count", day.count}});
    return json;
}

}  // namespace zorbix::server

#include "server/history_follower.h"

#include <array>
#include <string_view>

#include "accounts/project_states.h"
#include "server/project_history.h"
#include "store/change_history.h"
#include "store/project_table.h"

namespace zorbix::server {
namespace {

// The first row (kind 0) holds the history's last id, its count of lines
// and its first id; the rest (kind 1) are the lines after the last one
// seen. One statement reads one moment of the
// store on both engines. Only a state line's new value is read: other
// values may be long texts nobody here needs.
const std::string kNewsSql = std::string(
                                 "SELECT 0 AS kind, coalesce(max(id), 0) AS id, count(*), "
                                 "coalesce(min(id), 0), '', '', '', '', '' FROM ") +
                             store::kHistoryTable +
                             " UNION ALL SELECT 1, id, 0, 0, project, column_name, operation,"
                             " CASE WHEN column_name = ?2 THEN new_value ELSE '' END,"
                             " substr(time, 1, 10) FROM " +
                             store::kHistoryTable + " WHERE id > ?1 ORDER BY 1, 2";

// The history's extent, for a first look: what comes after it is news.
const std::string kCountSql =
    std::string("SELECT coalesce(max(id), 0), coalesce(min(id), 0), count(*) FROM ") +
    store::kHistoryTable;

// Operations that replace many projects, or the history itself, at once.
constexpr std::array<std::string_view, 4> kWholeStore = {
    store::operation::kRestore, store::operation::kInitialise, store::operation::kImport,
    store::operation::kReplace};

bool ChangesWholeStore(std::string_view operation) {
    for (const std::string_view whole : kWholeStore)
        if (operation == whole) return true;
    return false;
}

struct Line {
    std::string_view project, column, operation, state, date;
};

// Takes one new line into the news; false when it cannot be followed.
bool TakeLine(const Line& line, HistoryNews& news) {
    if (line.project.empty() || ChangesWholeStore(line.operation) || line.column == "JB02")
        return false;
    news.projects.emplace(line.project);
    if (line.column == kStateColumn && line.operation == kWebSubmit &&
        line.state == accounts::StateCaption(accounts::ProjectState::Submitted))
        news.submitted.push_back({std::string(line.project), std::string(line.date)});
    return news.projects.size() <= HistoryFollower::kMostProjects;
}

}  // namespace

HistoryFollower::Seen HistoryFollower::Count(store::Database& db) {
    Seen now;
    // Without a table nothing was changed through the history yet: the
    // store is as it was made, or older than the history.
    if (!store::HasTable(db, store::kHistoryTable)) return now;
    store::Statement count(db, kCountSql);
    if (count.Step()) now = {count.Int(0), count.Int(1), count.Int(2)};
    return now;
}

HistoryFollower::Seen HistoryFollower::ReadNews(store::Database& db, const Seen& seen,
                                                HistoryNews& news) {
    store::Statement query(db, kNewsSql);
    query.Bind(1, seen.last_id);
    query.Bind(2, kStateColumn);
    Seen now;
    std::int64_t new_lines = 0;
    bool followed = true;
    while (query.Step()) {
        if (query.Int(0) == 0) {
            // The last id of the history as it is: after a history cut
            // short, the next line's id may lie below the last one seen.
            now = {query.Int(1), query.Int(3), query.Int(2)};
            continue;
        }
        ++new_lines;
        if (followed)
            followed = TakeLine(
                {query.Text(4), query.Text(5), query.Text(6), query.Text(7), query.Text(8)}, news);
    }
    if (now.lines != seen.lines + new_lines || now.last_id < seen.last_id ||
        (seen.lines > 0 && now.first_id != seen.first_id))
        followed = false;
    news.everything = !followed;
    return now;
}

HistoryNews HistoryFollower::Look(store::Database& db) {
    HistoryNews news;
    const bool readable = seen_ && store::HasTable(db, store::kHistoryTable);
    looked_ = readable ? ReadNews(db, *seen_, news) : Count(db);
    if (!readable) news.everything = !seen_ || seen_->lines != looked_->lines;
    if (news.everything) {
        news.projects.clear();
        news.submitted.clear();
    }
    return news;
}

void HistoryFollower::Accept() {
    if (looked_) seen_ = looked_;
    looked_.reset();
}

}  // namespace zorbix::server

#include "server/unit_project_facts.h"

#include "server/project_history.h"
#include "store/change_history.h"
#include "store/project_table.h"

namespace zorbix::server {
namespace {

const std::string kWithoutHistory =
    "SELECT o.project, coalesce(s.state, ''), 0, NULL FROM project_owners o "
    "LEFT JOIN project_states s ON s.project = o.project WHERE o.unit = ?1";

// Lines about the state and the office's comments (?2, ?3) are no change
// of the values: they move the last change, not the version. Each project
// is looked up backwards along the history's index of (project, id), so a
// long history costs no more than a short one.
const std::string kWithHistory =
    std::string("SELECT o.project, coalesce(s.state, ''), coalesce((SELECT h.id FROM ") +
    store::kHistoryTable +
    " h WHERE h.project = o.project AND coalesce(h.column_name, '') NOT IN (?2, ?3) "
    "ORDER BY h.id DESC LIMIT 1), 0), (SELECT h.time FROM " +
    store::kHistoryTable +
    " h WHERE h.project = o.project ORDER BY h.id DESC LIMIT 1) "
    "FROM project_owners o LEFT JOIN project_states s ON s.project = o.project "
    "WHERE o.unit = ?1";

}  // namespace

std::unordered_map<std::string, ListedFacts> FactsOfUnitsProjects(store::Database& db,
                                                                  const std::string& unit) {
    const bool history = store::HasTable(db, store::kHistoryTable);
    store::Statement q(db, history ? kWithHistory : kWithoutHistory);
    q.Bind(1, unit);
    if (history) {
        q.Bind(2, kStateColumn);
        q.Bind(3, kCommentColumn);
    }
    std::unordered_map<std::string, ListedFacts> facts;
    while (q.Step()) {
        ListedFacts& f = facts[std::string(q.Text(0))];
        f.state = accounts::StateFromCode(q.Text(1));
        f.newest_value_line = q.Int(2);
        if (!q.Text(3).empty()) f.last_change = std::string(q.Text(3));
    }
    return facts;
}

}  // namespace zorbix::server

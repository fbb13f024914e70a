#include "server/project_version.h"

#include "server/project_history.h"
#include "store/catalogue.h"
#include "store/change_history.h"
#include "store/project_table.h"

namespace zorbix::server {
namespace {

const std::string kValueLines = std::string(" FROM ") + store::kHistoryTable +
                                " WHERE coalesce(column_name, '') NOT IN (?1, ?2)";

// Lines about the project's state and the office's comments on it are no
// change of its values.
void BindNoteColumns(store::Statement& q) {
    q.Bind(1, kStateColumn);
    q.Bind(2, kCommentColumn);
}

bool RowsHaveVersions(store::Database& db) { return db.engine() == store::Engine::Postgres; }
bool RowsHaveVersions(StoreParts& parts) { return RowsHaveVersions(parts.store.database()); }

bool HasHistory(store::Database& db) { return store::HasTable(db, store::kHistoryTable); }
bool HasHistory(StoreParts& parts) { return HasHistory(parts.store.database()); }

}  // namespace

std::int64_t VersionOf(StoreParts& parts, const store::Record& record) {
    return VersionOf(parts.store.database(), record);
}

std::int64_t VersionOf(store::Database& db, const store::Record& record) {
    if (RowsHaveVersions(db)) return record.version();
    if (!HasHistory(db)) return 0;
    // Backwards along the index of (project, id) to the first value line:
    // max(id) with the filter would read every line of the project.
    store::Statement q(db,
                       "SELECT id" + kValueLines + " AND project = ?3 ORDER BY id DESC LIMIT 1");
    BindNoteColumns(q);
    q.Bind(3, record[store::kNumberColumn]);
    return q.Step() ? q.Int(0) : 0;
}

std::int64_t VersionOf(store::Database& db, const store::Record& record,
                       std::int64_t newest_value_line) {
    return RowsHaveVersions(db) ? record.version() : newest_value_line;
}

ProjectVersions::ProjectVersions(StoreParts& parts) : rows_have_versions_(RowsHaveVersions(parts)) {
    if (rows_have_versions_ || !HasHistory(parts)) return;
    store::Statement q(parts.store.database(),
                       "SELECT project, max(id)" + kValueLines + " GROUP BY project");
    BindNoteColumns(q);
    while (q.Step()) newest_line_.emplace(std::string(q.Text(0)), q.Int(1));
}

std::int64_t ProjectVersions::Of(const store::Record& record) const {
    if (rows_have_versions_) return record.version();
    const auto it = newest_line_.find(std::string(record[store::kNumberColumn]));
    return it == newest_line_.end() ? 0 : it->second;
}

std::optional<LastWrite> LastWriteOf(StoreParts& parts, std::string_view number) {
    if (!HasHistory(parts)) return std::nullopt;
    store::Statement q(parts.store.database(), "SELECT coalesce(who, ''), time" + kValueLines +
                                                   " AND project = ?3 ORDER BY id DESC LIMIT 1");
    BindNoteColumns(q);
    q.Bind(3, number);
    if (!q.Step()) return std::nullopt;
    return LastWrite{std::string(q.Text(0)), std::string(q.Text(1))};
}

}  // namespace zorbix::server

#include "server/progress_marker.h"

#include <string>

#include "store/change_history.h"
#include "store/project_table.h"

namespace zorbix::server {

StoreMarker MarkerOf(StoreParts& parts) {
    parts.records().FollowChanges();
    StoreMarker marker;
    marker.projects = parts.records().Count();
    store::Database& db = parts.store.database();
    if (!store::HasTable(db, store::kHistoryTable)) return marker;
    store::Statement query(
        db, std::string("SELECT coalesce(min(id), 0), coalesce(max(id), 0), count(*) FROM ") +
                store::kHistoryTable);
    if (query.Step()) {
        marker.first_line = query.Int(0);
        marker.last_line = query.Int(1);
        marker.lines = query.Int(2);
    }
    return marker;
}

}  // namespace zorbix::server

// A project's version as the API answers it and a save names it.
//
// On a PostgreSQL store it is the row's own version, which the store's
// write checks against what others wrote meanwhile. An SQLite row keeps
// none: there the version is the newest change-history line about the
// project's values. The store writes such a line with every change, by
// whatever program, in the transaction of the change, so the version moves
// on with every change and never comes back. Lines about the project's
// state and the office's comments are no change of its values and leave the version as it is, on
// both engines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "server/shared_store.h"
#include "store/record.h"

namespace zorbix::server {

// The version of a record as read from the store.
std::int64_t VersionOf(StoreParts& parts, const store::Record& record);
std::int64_t VersionOf(store::Database& db, const store::Record& record);
// The same when the newest history line about its values is known already.
std::int64_t VersionOf(store::Database& db, const store::Record& record,
                       std::int64_t newest_value_line);

// Every project's version at once, for the list of projects: one look at
// the history, not one per project.
class ProjectVersions {
public:
    explicit ProjectVersions(StoreParts& parts);
    // `record` as read from the store, its number among its values.
    std::int64_t Of(const store::Record& record) const;

private:
    bool rows_have_versions_;
    std::unordered_map<std::string, std::int64_t> newest_line_;
};

// Who changed a project's values last and when, as the history says.
struct LastWrite {
    std::string who;
    std::string time;
};
std::optional<LastWrite> LastWriteOf(StoreParts& parts, std::string_view number);

}  // namespace zorbix::server

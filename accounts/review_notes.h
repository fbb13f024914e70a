// What the office wrote when it returned a project, in two tables beside
// kjxmzxqk keyed by the project number as stored: the comments (one on the
// project, optionally one per column) and the project's values as they
// stood at the return, so the office can see what the unit changed since.
// A project's notes are replaced whole by its next return.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "store/database.h"

namespace zorbix::accounts {

struct ReviewComments {
    std::string project;                        // on the project as a whole
    std::map<std::string, std::string> fields;  // column name → comment
};

class ReviewNotes {
public:
    // The server tables must exist (CreateServerTables).
    explicit ReviewNotes(store::Database& db) : db_(db) {}

    // The project's comments; empty ones when it was never returned.
    ReviewComments CommentsOf(std::string_view project);
    void SetComments(std::string_view project, const ReviewComments& comments);

    // The values (column name → text) kept at the project's last return;
    // empty when it was never returned.
    std::map<std::string, std::string> ValuesAtReturn(std::string_view project);
    void SetValuesAtReturn(std::string_view project,
                           const std::map<std::string, std::string>& values);

private:
    void Clear(const char* table, std::string_view project);

    store::Database& db_;
};

}  // namespace zorbix::accounts

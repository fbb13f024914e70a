// How the progress page learns which projects changed since it last
// looked, whichever program changed them. Every change of a project (a
// save, a submit, a return, an approval, an append, an edit in the window
// or the batch tool, on any connection) writes lines of the change history
// in its own transaction, each with an id that only grows. The follower
// reads the lines after the last one it saw and names their projects.
//
// It answers "everything" when following line by line could miss or
// misread something: the first look, a restore, an initialisation or
// another whole-store operation, a changed project number (earlier lines
// move to the new number), many projects at once, a line without a
// project, or a history that is not the one seen before. The last is told
// by counting: the lines must stay as many as were counted then, plus the
// new ones, from the same first line and up to a last one no lower than
// before; a line committed late with a lower id (two PostgreSQL writers),
// or a history replaced or shortened, breaks the count.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/database.h"

namespace zorbix::server {

// One submission of a project through the server, on its day.
struct Submission {
    std::string number;
    std::string date;  // "2013-12-05"
};

struct HistoryNews {
    bool everything = false;            // follow nothing: read the whole store again
    std::set<std::string> projects;     // the numbers whose lines are new
    std::vector<Submission> submitted;  // new submissions, oldest first
};

class HistoryFollower {
public:
    // More projects than this changed at once: reading the whole store is
    // no slower than reading them one by one.
    static constexpr std::size_t kMostProjects = 200;

    // What is new since the last Accept. Reads the history in one
    // statement, so its count and its lines are of one moment.
    HistoryNews Look(store::Database& db);
    // The news handed out by the last Look is taken in: the next Look
    // starts after it. Until then Look answers the same lines again.
    void Accept();
    // The id of the last line the last Look read up to (0: none).
    std::int64_t LookedUpTo() const { return looked_ ? looked_->last_id : 0; }
    // The next Look answers "everything" (what was kept may be wrong).
    void Forget() { seen_.reset(); }

private:
    struct Seen {
        std::int64_t last_id = 0;
        std::int64_t first_id = 0;
        std::int64_t lines = 0;
    };
    // The extent of the history now, without its lines (a first look).
    static Seen Count(store::Database& db);
    // The lines after `seen` taken into the news.
    static Seen ReadNews(store::Database& db, const Seen& seen, HistoryNews& news);

    std::optional<Seen> seen_;
    std::optional<Seen> looked_;  // where the last Look ended
};

}  // namespace zorbix::server

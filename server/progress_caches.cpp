#include "server/progress_caches.h"

namespace zorbix::server {

void ProgressCaches::Follow(StoreParts& parts, FindingsCache& findings) {
    store::Database& db = parts.store.database();
    try {
        const HistoryNews news = follower_.Look(db);
        if (news.everything) {
            ReadAll(parts, findings);
        } else {
            if (!news.projects.empty()) TakeIn(db, news);
            // A project added or removed without a line (a program writing
            // without the history): only reading everything again can tell
            // what changed. The shared record set hears of every addition
            // and removal, by whatever program, and counts without a scan.
            parts.records().FollowChanges();
            if (facts_.size() != parts.records().Count()) ReadAll(parts, findings);
        }
        follower_.Accept();
    } catch (...) {
        follower_.Forget();
        throw;
    }
}

void ProgressCaches::ReadAll(StoreParts& parts, FindingsCache& findings) {
    facts_.ReadAll(parts, findings);
    submissions_ = ReadSubmissions(parts.store.database(), follower_.LookedUpTo());
    funds_ = facts_.FundsOfAll();
}

void ProgressCaches::TakeIn(store::Database& db, const HistoryNews& news) {
    facts_.Renew(db, news.projects);
    submissions_.insert(submissions_.end(), news.submitted.begin(), news.submitted.end());
    funds_ = facts_.FundsOfAll();
}

}  // namespace zorbix::server

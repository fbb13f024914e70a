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
            // A change the history did not name (a program writing without
            // it): only reading everything again can tell what it was.
            if (facts_.size() != news.projects_stored) ReadAll(parts, findings);
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

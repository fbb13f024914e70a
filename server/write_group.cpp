#include "server/write_group.h"

#include <utility>

#include "base/error.h"

namespace zorbix::server {

WriteGroup::WriteGroup(store::Database& db, std::function<void()> after_failure)
    : db_(db), after_failure_(std::move(after_failure)) {}

std::shared_ptr<WriteGroup::Outcome> WriteGroup::Join() {
    if (!open_) {
        db_.Begin();
        open_ = std::make_shared<Outcome>();
    }
    return open_;
}

void WriteGroup::Left(const std::exception_ptr& failure) {
    if (!open_ || !db_.IsAutocommit()) return;
    // The engine rolled the transaction back on its own: the changes of
    // the members before this one are gone with it.
    End(failure ? failure
                : std::make_exception_ptr(
                      base::Failure("数据库放弃了正在写入的修改，本次保存未能完成，请重新保存。")));
}

void WriteGroup::Commit() noexcept {
    if (!open_) return;
    try {
        db_.Commit();
    } catch (...) {
        db_.Rollback();
        End(std::current_exception());
        return;
    }
    // The records reach the database file, not only the journal beside
    // it, within a second: copying the journal after every group would
    // take about as long as the commit itself.
    const auto now = std::chrono::steady_clock::now();
    if (now - last_checkpoint_ >= kCheckpointEvery) {
        db_.Checkpoint();
        last_checkpoint_ = now;
    }
    End(nullptr);
}

void WriteGroup::End(std::exception_ptr failure) noexcept {
    const std::shared_ptr<Outcome> outcome = std::exchange(open_, nullptr);
    if (failure) {
        try {
            after_failure_();
        } catch (...) {
            // The next use of the store reads it again or reports why not.
        }
    }
    outcome->failure = failure;
    outcome->done = true;
}

}  // namespace zorbix::server

// Changes of several requests committed together. While one request's
// change is written, others queue (SharedStore::Writing); each joins the
// transaction that is open, in a savepoint of its own, and the group is
// committed once the queue is empty or the group full. A commit waits for the disk to
// confirm the write, which is most of what one change costs; a group pays
// it once. Nobody is answered before the commit that holds its change,
// and a commit that fails fails every change in it.
#pragma once

#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

#include "store/database.h"

namespace zorbix::server {

class WriteGroup {
public:
    // How the group ends for its members.
    struct Outcome {
        bool done = false;
        std::exception_ptr failure;
    };

    // `after_failure` runs when a group's changes were undone, so that
    // what was read from them is forgotten.
    WriteGroup(store::Database& db, std::function<void()> after_failure);
    WriteGroup(const WriteGroup&) = delete;
    WriteGroup& operator=(const WriteGroup&) = delete;

    // All of these run under the store's lock.

    // A member joins: the group's transaction begins when none is open.
    // Throws base::Failure when it cannot begin.
    std::shared_ptr<Outcome> Join();
    // The member's own savepoint has ended. When the engine ended the
    // whole transaction meanwhile (a full disk may), the group ends now
    // with `failure`, or a failure of its own when the member had none.
    void Left(const std::exception_ptr& failure);
    // Commits the open group, if any, and tells its members. Never throws:
    // a failed commit is its members' failure.
    void Commit() noexcept;
    // The most changes in one group, so that its first member does not
    // wait without end.
    static constexpr std::size_t kMostMembers = 16;

private:
    static constexpr std::chrono::seconds kCheckpointEvery{1};

    void End(std::exception_ptr failure) noexcept;

    store::Database& db_;
    std::function<void()> after_failure_;
    std::shared_ptr<Outcome> open_;  // the open group's, none when closed
    std::chrono::steady_clock::time_point last_checkpoint_;
};

}  // namespace zorbix::server

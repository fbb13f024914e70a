// The program directory's store, shared by the server's request threads.
// The store is one database connection with one record set, so every use
// of it holds the one lock: a request's reads and writes are never
// interleaved with another's. Requests that only read may instead use one
// of a few connections of their own.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <semaphore>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "accounts/account_book.h"
#include "accounts/clock.h"
#include "accounts/project_owners.h"
#include "accounts/project_states.h"
#include "accounts/review_notes.h"
#include "accounts/session_book.h"
#include "server/fair_mutex.h"
#include "server/fair_turns.h"
#include "server/project_positions.h"
#include "server/write_group.h"
#include "store/project_rows.h"
#include "store/store.h"

namespace zorbix::server {

// The server's own tables over one connection.
struct Books {
    Books(store::Database& db, accounts::Clock clock);

    accounts::AccountBook accounts;
    accounts::SessionBook sessions;
    accounts::ProjectOwners owners;
    accounts::ProjectStates states;
    accounts::ReviewNotes reviews;
};

// Everything that works on the one connection that writes.
struct StoreParts : Books {
    StoreParts(store::Store& opened, accounts::Clock clock);

    store::Store& store;
    ProjectPositions positions;

    store::RecordSet& records() { return store.records(); }
};

// A connection of its own for requests that only read: they are served
// beside the writes, not after them. It keeps no record set, so nothing
// it reads can be out of date: each read asks the database.
struct ReaderConnection {
    std::unique_ptr<store::Database> db;
};
struct ReaderParts : ReaderConnection, Books {
    ReaderParts(std::unique_ptr<store::Database> opened, accounts::Clock clock);

    store::ProjectRows rows;

    store::Database& database() { return *db; }
};

class SharedStore {
public:
    // Opens the store of the program directory (creating it when missing)
    // and the server's tables beside it. Throws base::Failure with the
    // store's message when it cannot be opened.
    // `database`: a PostgreSQL store's address; "" for the directory's file.
    SharedStore(const std::filesystem::path& directory, accounts::Clock clock,
                const std::string& database = "");
    // Runs the changes still queued, then closes.
    ~SharedStore();
    SharedStore(const SharedStore&) = delete;
    SharedStore& operator=(const SharedStore&) = delete;

    // Where the store is, fixed for the server's life: asked without the lock.
    const std::filesystem::path& directory() const { return store_.directory(); }
    // A PostgreSQL store's address; "" for the directory's file.
    const std::string& database() const { return database_; }

    // Runs use(parts) while holding the lock; passes on what it returns.
    // Changes of a group still open are committed first, so that use
    // works on its own transactions.
    template <class Use>
    decltype(auto) With(Use&& use) {
        std::lock_guard lock(mutex_);
        group_.Commit();
        return use(parts_);
    }

    // Runs use(parts), a change of one request, while holding the lock,
    // inside the transaction of a group of changes (see WriteGroup);
    // returns what use returns once the group is committed, and throws
    // use's failure, or the group's when its commit failed. use writes
    // within a store::Transaction of its own, which is a savepoint of the
    // group's, so that a change it refuses part-way leaves nothing: a
    // savepoint for every change would cost each two more round trips to
    // a database server.
    //
    // The changes queue, and the store's writing thread runs them one
    // after the other under the lock and commits them together: handing
    // the lock from request to request for every change left it idle while
    // each woke up, which on a busy machine took longer than the change.
    template <class Use>
    auto Writing(Use&& use) {
        using Result = std::invoke_result_t<Use&, StoreParts&>;
        std::optional<Result> result;
        WriteJob job;
        job.run = [&](StoreParts& parts) { result.emplace(use(parts)); };
        RunWrite(job);
        if (job.failure) std::rethrow_exception(job.failure);
        return std::move(*result);
    }

    // Runs use(reader) on one of the reading connections, which no other
    // request uses meanwhile; writes go through With, never through this.
    // A read that met a connection the database server had ended (it was
    // restarted) runs once more, on the connection made anew: reading
    // twice changes nothing.
    template <class Use>
    decltype(auto) Reading(Use&& use) {
        const HeldReader held(*this);
        Reader& reader = held.reader;
        if (!reader.parts) Reopen(reader);
        try {
            return use(*reader.parts);
        } catch (const base::Failure&) {
            if (!reader.parts->database().IsConnectionLost()) throw;
        }
        return use(*reader.parts);
    }

    // Runs use(parts) under the lock with the reading connections closed,
    // for work a shared PostgreSQL store allows only to a connection that
    // is alone (a restore). Reads wait meanwhile, so none is answered from
    // a store half replaced; the connections open again when next used.
    template <class Use>
    decltype(auto) WithReadersClosed(Use&& use) {
        std::lock_guard lock(mutex_);
        group_.Commit();
        std::vector<std::unique_lock<std::mutex>> readers_held;
        for (auto& reader : readers_) {
            readers_held.emplace_back(reader->mutex);
            reader->parts.reset();
        }
        return use(parts_);
    }

private:
    // One request's change in the queue; `done` tells the request that its
    // group ended.
    struct WriteJob {
        std::function<void(StoreParts&)> run;
        std::exception_ptr failure;  // its own, or its group's
        std::binary_semaphore done{0};
    };
    // Queues the change and returns once its group ended.
    void RunWrite(WriteJob& job);
    // The writing thread: runs the queue's changes, a group at a time,
    // until the store closes.
    void WriteQueued();
    // Runs the changes in one group and commits it.
    void RunGroup(const std::vector<WriteJob*>& batch);

    struct Reader {
        std::mutex mutex;
        std::optional<ReaderParts> parts;  // none while closed
    };

    void Reopen(Reader& reader);
    // A reader no other request uses, held until it goes out of scope;
    // waited for in turn when every one is in use.
    struct HeldReader {
        explicit HeldReader(SharedStore& store);

        Turn turn;
        Reader& reader;
        std::unique_lock<std::mutex> lock;  // given up before the turn
    };

    FairMutex mutex_;
    std::mutex queue_mutex_;
    std::condition_variable queued_;
    std::deque<WriteJob*> queue_;  // changes not yet taken into a group
    bool closing_ = false;
    store::Store store_;
    StoreParts parts_;
    WriteGroup group_;
    std::string database_;
    accounts::Clock clock_;
    std::vector<std::unique_ptr<Reader>> readers_;
    FairTurns reader_turns_;
    std::thread writer_;  // last: it uses everything above
};

}  // namespace zorbix::server

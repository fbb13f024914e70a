// The program directory's store, shared by the server's request threads.
// The store is one database connection with one record set, so every use
// holds the one lock: a request's reads and writes are never interleaved
// with another's.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>

#include "accounts/account_book.h"
#include "accounts/clock.h"
#include "accounts/project_owners.h"
#include "accounts/project_states.h"
#include "accounts/review_notes.h"
#include "accounts/session_book.h"
#include "server/project_positions.h"
#include "store/store.h"

namespace zorbix::server {

// Everything that works on the one connection.
struct StoreParts {
    explicit StoreParts(store::Store& opened, accounts::Clock clock);

    store::Store& store;
    accounts::AccountBook accounts;
    accounts::SessionBook sessions;
    accounts::ProjectOwners owners;
    accounts::ProjectStates states;
    ProjectPositions positions;
    accounts::ReviewNotes reviews;

    store::RecordSet& records() { return store.records(); }
};

class SharedStore {
public:
    // Opens the store of the program directory (creating it when missing)
    // and the server's tables beside it. Throws base::Failure with the
    // store's message when it cannot be opened.
    // `database`: a PostgreSQL store's address; "" for the directory's file.
    SharedStore(const std::filesystem::path& directory, accounts::Clock clock,
                const std::string& database = "");

    // Runs use(parts) while holding the lock; passes on what it returns.
    template <class Use>
    decltype(auto) With(Use&& use) {
        std::lock_guard lock(mutex_);
        return use(parts_);
    }

private:
    std::mutex mutex_;
    store::Store store_;
    StoreParts parts_;
};

}  // namespace zorbix::server

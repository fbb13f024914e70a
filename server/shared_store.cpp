#include "server/shared_store.h"

#include "accounts/server_tables.h"
#include "store/postgres_db.h"
#include "store/sqlite_db.h"

namespace zorbix::server {
namespace {

// The server's tables exist before anything is bound to them.
store::Store& WithServerTables(store::Store& opened) {
    accounts::CreateServerTables(opened.database());
    return opened;
}

// An SQLite read works in this process: a few connections keep the cores
// busy. A PostgreSQL read mostly waits for the database server's answer,
// so more of them are under way at once.
int ReadersFor(store::Engine engine) { return engine == store::Engine::Postgres ? 8 : 4; }

std::unique_ptr<store::Database> ReadingConnection(store::Store& opened,
                                                   const std::string& database) {
    if (opened.engine() == store::Engine::Postgres)
        return std::make_unique<store::PostgresDatabase>(database, opened.directory());
    return std::make_unique<store::SqliteDatabase>(opened.file());
}

}  // namespace

Books::Books(store::Database& db, accounts::Clock clock)
    : accounts(db), sessions(db, std::move(clock)), owners(db), states(db), reviews(db) {}

StoreParts::StoreParts(store::Store& opened, accounts::Clock clock)
    : Books(opened.database(), std::move(clock)), store(opened), positions(opened.records()) {}

ReaderParts::ReaderParts(std::unique_ptr<store::Database> opened, accounts::Clock clock)
    : ReaderConnection{std::move(opened)}, Books(*db, std::move(clock)), rows(*db) {}

SharedStore::SharedStore(const std::filesystem::path& directory, accounts::Clock clock,
                         const std::string& database)
    : store_(directory, database),
      parts_(WithServerTables(store_), clock),
      group_(store_.database(), [this] { parts_.records().Reopen(); }),
      database_(database),
      clock_(clock),
      reader_turns_(static_cast<std::size_t>(ReadersFor(store_.engine()))) {
    for (int i = 0; i < ReadersFor(store_.engine()); ++i) {
        readers_.push_back(std::make_unique<Reader>());
        Reopen(*readers_.back());
    }
    writer_ = std::thread([this] { WriteQueued(); });
}

SharedStore::HeldReader::HeldReader(SharedStore& store)
    : turn(store.reader_turns_), reader(*store.readers_[turn.which()]), lock(reader.mutex) {}

SharedStore::~SharedStore() {
    {
        std::lock_guard queue(queue_mutex_);
        closing_ = true;
    }
    queued_.notify_one();
    writer_.join();
}

void SharedStore::RunWrite(WriteJob& job) {
    {
        std::lock_guard queue(queue_mutex_);
        queue_.push_back(&job);
    }
    queued_.notify_one();
    job.done.acquire();
}

void SharedStore::WriteQueued() {
    // Above the requests' priority, beside the office's long runs: every
    // save waits for this one thread, and among hundreds of lowered
    // workers it got too small a share of the cores to keep up, so saves
    // waited in the queue for a tenth of a second. Its work is no more
    // than the saves bring.
    std::unique_lock queue(queue_mutex_);
    for (;;) {
        queued_.wait(queue, [this] { return closing_ || !queue_.empty(); });
        if (queue_.empty()) return;  // closing
        std::vector<WriteJob*> batch;
        while (!queue_.empty() && batch.size() < WriteGroup::kMostMembers) {
            batch.push_back(queue_.front());
            queue_.pop_front();
        }
        queue.unlock();
        {
            std::lock_guard lock(mutex_);
            RunGroup(batch);
        }
        // A request told its group ended returns at once: its job is not
        // touched after that.
        for (WriteJob* job : batch) job->done.release();
        queue.lock();
    }
}

void SharedStore::RunGroup(const std::vector<WriteJob*>& batch) {
    std::vector<std::shared_ptr<WriteGroup::Outcome>> outcomes;
    for (WriteJob* job : batch) {
        std::shared_ptr<WriteGroup::Outcome> outcome;
        try {
            outcome = group_.Join();
            job->run(parts_);
        } catch (...) {
            job->failure = std::current_exception();
        }
        if (outcome) group_.Left(job->failure);
        outcomes.push_back(std::move(outcome));
    }
    group_.Commit();
    for (std::size_t i = 0; i < batch.size(); ++i)
        if (!batch[i]->failure && outcomes[i]) batch[i]->failure = outcomes[i]->failure;
}

void SharedStore::Reopen(Reader& reader) {
    reader.parts.emplace(ReadingConnection(store_, database_), clock_);
}

}  // namespace zorbix::server

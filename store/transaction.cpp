#include "store/database.h"

namespace zorbix::store {
namespace {

// One name for every level: both engines release and roll back to the
// savepoint of that name made last, so nested ones unwind in order.
constexpr const char* kSavepoint = "zorbix_part";

}  // namespace

Transaction::Transaction(Database& db) : db_(db), nested_(!db.IsAutocommit()) {
    if (nested_)
        db_.ExecuteSoon(std::string("SAVEPOINT ") + kSavepoint);
    else
        db_.Begin();
}

Transaction::~Transaction() {
    if (!open_) return;
    if (nested_)
        RollBackToSavepoint();
    else
        db_.Rollback();
}

void Transaction::Commit() {
    if (nested_) {
        db_.Execute(std::string("RELEASE SAVEPOINT ") + kSavepoint);
        open_ = false;
        return;
    }
    db_.Commit();
    open_ = false;
    // One append, demo run or initialisation ends here: its records
    // reach the database file, not only the journal beside it.
    db_.Checkpoint();
}

void Transaction::RollBackToSavepoint() noexcept {
    const std::string undo = std::string("ROLLBACK TO SAVEPOINT ") + kSavepoint;
    const std::string release = std::string("RELEASE SAVEPOINT ") + kSavepoint;
    // A statement sent on without waiting may report its failure first;
    // it is told then, and the savepoint is rolled back by the next try.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            db_.Execute(undo);
            db_.Execute(release);
            return;
        } catch (const base::Failure&) {
            // When the engine ended the outer transaction itself, there is
            // no savepoint left: the outer commit reports that.
        }
    }
}

}  // namespace zorbix::store

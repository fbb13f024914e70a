// The ordered record set of the project store: every project in ascending
// order of JB02 as the database orders that column when the set opens, one
// current record with its pending changes, and the moves, add, delete and
// write-back the whole program works through. Records added later stand at
// the end until the set is reopened.
//
// Rows are read ahead into a cache by position: a block of neighbours in one
// statement for single moves and the grid, and every row in one sequential
// scan once a walk is under way, so a walk over tens of thousands of projects
// costs one pass over the table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/change_history.h"
#include "store/database.h"
#include "store/project_rows.h"

namespace zorbix::store {

// What changed in the set, for the screen to follow.
enum class RecordEventKind {
    Moved,         // another record is current (or none, past the end)
    ValueChanged,  // a value of the current record changed (column says which)
    Added,         // a new record was added and is current
    Deleted,       // the current record was deleted
    Reopened,      // the set was opened again in store order
    Written,       // the current record was written to the database
    Refreshed,     // others changed records or the set's order; the current
                   // record stays current, with its values as now stored
};

struct RecordEvent {
    RecordEventKind kind;
    int column = -1;  // ValueChanged only
};

class RecordSet {
public:
    using Listener = std::function<void(const RecordEvent&)>;

    // Opens the set over the project table of an opened store database.
    explicit RecordSet(Database& db);
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    // Reads the order again; no record is current afterwards.
    void Reopen();
    // Forgets the rows read ahead or added (they are read again when
    // needed), so that a run adding a very large file holds a bounded
    // number of them. The current record and the order stay.
    void ReleaseCache() { ForgetCache(); }

    int Count() const { return static_cast<int>(rowids_.size()); }
    // 1-based position of the current record; Count()+1 past the end, 0 when
    // the set has not been moved yet.
    int Position() const { return position_; }
    bool HasCurrent() const { return loaded_; }
    bool AtEnd() const { return position_ > Count(); }

    // Moves write a pending change first. MoveFirst and MoveLast on an empty
    // set fail (there is no record to move to); MoveNext runs past the last
    // record into the past-the-end state; MovePrevious stops at the first.
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void MoveTo(int position);

    // Values of the current record ("" when no record is current). A view
    // stays valid until the current record moves or changes.
    std::string_view Value(int column) const { return current_[column]; }
    std::string_view Value(std::string_view name) const;
    const Record& Current() const { return current_; }

    // A pending change of the current record; fails when none is current.
    void SetValue(int column, std::string_view value);
    void SetValue(std::string_view name, std::string_view value);
    bool HasPendingChange() const { return pending_; }

    // Writes the current record to the database; fails when none is current.
    // On a store several people work on, a record someone else changed or
    // removed since it was read is not written: ChangedMeanwhile is thrown,
    // naming who and when, and the current record shows what is now stored.
    void WriteBack();

    // Takes in what others changed since the last look (a PostgreSQL store
    // tells; an SQLite file has one writer): changed records are read again
    // when next needed, and additions and removals bring the order and the
    // count up to date, the current record staying current. Every move does
    // this first; a window calls it now and then while it waits. True when
    // anything changed (Refreshed was notified).
    bool FollowChanges();

    // What the clerk typed into the current record when the write was
    // refused because someone else had changed it meanwhile (the record
    // now shows the stored values): kept until the record is left, so a
    // window can show it beside the fields to be entered again.
    const Record* RefusedTyping() const { return refused_ ? &*refused_ : nullptr; }

    // Adds a record (empty, or with the given 137 values) at the end of the
    // set and makes it current. The row is in the database at once.
    void AddNew();
    void AddNew(const Row& values);
    void AddNew(Record values);

    // Deletes the current record. No record is current afterwards; the next
    // move is relative to where it stood.
    void Delete();

    // Deletes every record (what deleting the first record n times does,
    // in one statement). No record is current afterwards.
    void DeleteAll();

    // A record by position without moving the current record (for the grid
    // and listings); the current record with its pending change.
    Record ReadRow(int position) const;

    // The values of one column of every record, in set order (pending change
    // of the current record included).
    std::vector<std::string> ColumnValues(int column) const;

    // Calls visit with every record in set order, holding only the values
    // of `columns` (every other column empty), read in one scan of the
    // table without filling the cache: for runs that total a few columns of
    // every project. A pending change is written first. Stops when visit
    // returns false.
    void VisitColumns(std::span<const int> columns,
                      const std::function<bool(const Record&)>& visit);

    // Hands every record of the set to `take` with its position (1..Count),
    // holding only the values of `columns` like VisitColumns, but in no set
    // order and, on a large set, from two threads at once: lane 0 is the
    // calling thread, lane 1 a second one, and each position comes once. For
    // runs whose result does not depend on the order of the records. A
    // position the scan does not meet (gone from the table) comes as an
    // empty record on lane 0 after the scan. A pending change is written
    // first. A failure of `take` on either lane passes through once both
    // have stopped.
    using LaneTaker = std::function<void(int lane, int position, const Record&)>;
    void ScanColumns(std::span<const int> columns, const LaneTaker& take);

    int Subscribe(Listener listener);
    void Unsubscribe(int id);

    Database& database() { return db_; }

    // Every write, add and delete records its change in the history, under
    // the operation named last (typing on a page unless an OperationLabel
    // says otherwise).
    ChangeHistory& history() { return *history_; }
    std::string_view operation() const { return operation_; }

    // How many backups the command under way has made: a command that backs
    // up in a run of its own makes one, however many steps it takes.
    struct BackupRun {
        int depth = 0;  // nested OneBackupPerRun scopes
        bool made = false;
    };
    BackupRun& backup_run() { return backup_run_; }

private:
    friend class OperationLabel;

    // Reads rows [first, first + count) into the cache.
    void FillBlock(int first, int count) const;
    // Reads every row into the cache in one scan of the table.
    void FillAll() const;
    void ForgetCache() const;
    bool IsCached(int position) const { return cache_[position - 1] != nullptr; }
    void EnsureCached(int position) const;
    // The record at a position as the database holds it (no pending change).
    const Record& Stored(int position) const;

    void Load(int position);
    // No record is current any more (past the end, deleted, reopened).
    void Unload(bool deleted_here);

    void Notify(RecordEventKind kind, int column = -1);
    [[noreturn]] void RefuseChangedMeanwhile();
    void ReadOrder();
    void FailWithoutCurrent() const;

    Database& db_;
    std::unique_ptr<ProjectRows> rows_;
    // By position - 1; null where the row has not been read. Pointers keep
    // deleting from the middle of a large set cheap.
    mutable std::vector<std::unique_ptr<Record>> cache_;
    mutable int last_miss_end_ = 0;     // end of the last block read
    std::vector<std::int64_t> rowids_;  // set order
    int position_ = 0;
    bool loaded_ = false;
    bool deleted_here_ = false;      // the record at position_ was just deleted
    std::optional<Record> refused_;  // see RefusedTyping
    bool pending_ = false;
    Record current_;
    std::vector<std::pair<int, Listener>> listeners_;
    int next_listener_ = 1;
    std::unique_ptr<ChangeHistory> history_;
    std::string operation_{operation::kTyping};
    BackupRun backup_run_;
};

// Names the operation the record set's changes are recorded under while it
// lives; the previous name comes back afterwards.
class OperationLabel {
public:
    OperationLabel(RecordSet& records, std::string_view op)
        : records_(records), previous_(records.operation_) {
        records_.operation_ = std::string(op);
    }
    ~OperationLabel() { records_.operation_ = previous_; }
    OperationLabel(const OperationLabel&) = delete;
    OperationLabel& operator=(const OperationLabel&) = delete;

private:
    RecordSet& records_;
    std::string previous_;
};

}  // namespace zorbix::store

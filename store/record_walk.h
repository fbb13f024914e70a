// The one walk over every stored project that the long runs share: the
// check of all projects, submit all, distribute and all reports. It uses
// the set's ordinary moves (a pending change is written first), visits the
// records in store order, reports progress and stops when the user asks
// to. Runs that total a few columns read them apart (below): the summary
// run in one scan on two threads.
#pragma once

#include <functional>
#include <span>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::store {

// Records between two progress reports of a walk.
inline constexpr int kWalkProgressStep = 64;

struct WalkProgress {
    base::BusyScope* busy = nullptr;  // none: no progress and no cancelling
    // What the whole run counts as, when it does more than the walk (the
    // summary run writes its workbooks afterwards); 0: the record count.
    long total = 0;
};

// Moves to the first record and calls `visit` with each record, `count`
// records counted once at the start, reporting progress every
// kWalkProgressStep records and after the last. Between two records it asks
// the busy scope whether the user wants to stop, and returns Cancelled
// then, with the first record not visited current. An empty set visits nothing and
// does not move. A failure of `visit` or of the store passes through.
//
// Afterwards the set stands past its last record: submit, distribute and all
// reports leave it there, as the survey has them do. The check of all
// projects and the summary run end on the first record, and move there
// themselves after the walk.
base::Outcome WalkAllRecords(RecordSet& records, WalkProgress progress,
                             const std::function<void(const Record&)>& visit);

// The same walk over the values of a few columns (store/record_set.h,
// VisitColumns), for runs that total them: the records visited hold only
// those columns. Progress and stopping as above; the set does not move, the
// current record's pending change is written first.
base::Outcome WalkColumnsOfAllRecords(RecordSet& records, std::span<const int> columns,
                                      WalkProgress progress,
                                      const std::function<void(const Record&)>& visit);

// The values of a few columns of every record in no set order, possibly from
// two threads at once (store/record_set.h, ScanColumns), for runs whose
// totals do not depend on the order. Progress is reported from the calling
// thread; the scan does not stop early, a user's request to stop is for
// the caller to ask after it.
void ScanColumnsOfAllRecords(RecordSet& records, std::span<const int> columns,
                             WalkProgress progress, const RecordSet::LaneTaker& take);

}  // namespace zorbix::store

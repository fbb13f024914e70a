#include "store/record_walk.h"

namespace zorbix::store {

base::Outcome WalkAllRecords(RecordSet& records, WalkProgress progress,
                             const std::function<void(const Record&)>& visit) {
    const int count = records.Count();  // read once, as the survey's runs do
    if (count == 0) return base::Outcome::Done;
    const long total = progress.total > 0 ? progress.total : count;
    records.MoveFirst();
    for (int done = 0; done < count && !records.AtEnd();) {
        visit(records.Current());
        records.MoveNext();
        if (++done % kWalkProgressStep != 0 || !progress.busy) continue;
        progress.busy->Progress(done, total);
        if (progress.busy->CancelRequested()) return base::Outcome::Cancelled;
    }
    if (progress.busy) progress.busy->Progress(count, total);
    return base::Outcome::Done;
}

base::Outcome WalkColumnsOfAllRecords(RecordSet& records, std::span<const int> columns,
                                      WalkProgress progress,
                                      const std::function<void(const Record&)>& visit) {
    const int count = records.Count();
    if (count == 0) return base::Outcome::Done;
    const long total = progress.total > 0 ? progress.total : count;
    base::Outcome outcome = base::Outcome::Done;
    int done = 0;
    records.VisitColumns(columns, [&](const Record& record) {
        visit(record);
        if (++done % kWalkProgressStep != 0 || !progress.busy) return true;
        progress.busy->Progress(done, total);
        if (!progress.busy->CancelRequested()) return true;
        outcome = base::Outcome::Cancelled;
        return false;
    });
    if (progress.busy && outcome.IsDone()) progress.busy->Progress(count, total);
    return outcome;
}

}  // namespace zorbix::store

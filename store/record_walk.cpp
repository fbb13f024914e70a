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

}  // namespace zorbix::store

#include "store/record_walk.h"

#include <array>
#include <atomic>

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

void ScanColumnsOfAllRecords(RecordSet& records, std::span<const int> columns,
                             WalkProgress progress, const RecordSet::LaneTaker& take) {
    const int count = records.Count();
    if (count == 0) return;
    const long total = progress.total > 0 ? progress.total : count;
    // Each lane counts its own records (a counter shared by both would be
    // fought over on every record); only the calling thread talks to the
    // busy scope, and it reads the other lane's count when it reports.
    struct alignas(64) LaneCount {
        std::atomic<long> done = 0;
    };
    std::array<LaneCount, 2> lanes;
    records.ScanColumns(columns, [&](int lane, int position, const Record& record) {
        take(lane, position, record);
        std::atomic<long>& mine = lanes[lane].done;
        const long done = mine.load(std::memory_order_relaxed) + 1;
        mine.store(done, std::memory_order_relaxed);
        if (lane != 0 || !progress.busy || done % kWalkProgressStep != 0) return;
        progress.busy->Progress(done + lanes[1].done.load(std::memory_order_relaxed), total);
    });
    if (progress.busy) progress.busy->Progress(count, total);
}

}  // namespace zorbix::store

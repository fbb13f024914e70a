// The twelve grids of a summary run, computed from every stored project.
// The run reads the posted columns in one scan on two threads and joins
// what the two halves posted; that gives exactly the sums of posting every
// record in store order, which stays the reference (and the way taken when
// the figures are such that the order could matter).
#pragma once

#include <vector>

#include "base/prompter.h"
#include "store/record_set.h"
#include "summary/summary_grid.h"

namespace zorbix::summary {

// The progress steps of a whole summary run: one per record and a share
// for each workbook written after the walk.
inline constexpr long kWorkbookWeight = 500;
long SummaryRunSteps(const store::RecordSet& records);

// The twelve grids over every record in store order, in run order. Leaves
// the first record current (none in an empty store). Throws base::Failure
// when the store cannot be read.
std::vector<SummaryGrid> ComputeSummaryGrids(store::RecordSet& records,
                                             base::BusyScope* busy = nullptr);

// The same grids by posting every record in store order, one after the
// other, on the calling thread.
std::vector<SummaryGrid> ComputeSummaryGridsInOrder(store::RecordSet& records,
                                                    base::BusyScope* busy = nullptr);

}  // namespace zorbix::summary

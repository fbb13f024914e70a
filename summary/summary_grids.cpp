#include "summary/summary_grids.h"

#include <array>
#include <optional>

#include "store/record_walk.h"
#include "summary/standard_rows.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_posting.h"

namespace zorbix::summary {
namespace {

std::vector<SummaryGrid> EmptyGrids() {
    std::vector<SummaryGrid> grids;
    for (const SummaryDefinition& s : Summaries()) grids.emplace_back(s.grid_columns);
    return grids;
}

// Only the columns the summaries read: a third of each record.
const std::vector<int>& SummaryColumns() {
    static const std::vector<int> columns = PostedColumns();
    return columns;
}

// The figures of the summaries whose sums depend on the order, gathered per
// position while the records come out of order.
class OrderedPart {
public:
    explicit OrderedPart(int count) : rows_(static_cast<std::size_t>(count)) {
        const auto summaries = Summaries();
        for (std::size_t i = 0; i < summaries.size(); ++i) {
            if (!SumsDependOnOrder(summaries[i])) continue;
            summary_.push_back(i);
            figures_.emplace_back(static_cast<std::size_t>(count));
        }
    }

    // From any lane: each position is its own slot.
    void Keep(int position, const store::Record& record, const StandardRows& rows) {
        const auto slot = static_cast<std::size_t>(position - 1);
        rows_[slot] = rows;
        for (std::size_t k = 0; k < summary_.size(); ++k)
            figures_[k][slot] = OrderedFiguresOf(Summaries()[summary_[k]], record);
    }

    void PostInStoreOrder(std::vector<SummaryGrid>& grids) const {
        for (std::size_t k = 0; k < summary_.size(); ++k)
            for (std::size_t slot = 0; slot < rows_.size(); ++slot)
                PostOrderedFigures(figures_[k][slot], rows_[slot], grids[summary_[k]]);
    }

private:
    std::vector<StandardRows> rows_;
    std::vector<std::size_t> summary_;
    std::vector<std::vector<OrderedFigures>> figures_;
};

// Each lane posts the summaries whose sums do not depend on the order into
// grids of its own; the others keep their figures for the store order. The
// lanes' grids are joined, which gives the sums of the store order exactly
// when they are order free; empty when one is not.
std::optional<std::vector<SummaryGrid>> GridsFromTwoLanes(store::RecordSet& records,
                                                          base::BusyScope* busy) {
    const auto summaries = Summaries();
    std::array<bool, kSummaryCount> in_lanes{};
    for (std::size_t i = 0; i < summaries.size(); ++i)
        in_lanes[i] = !SumsDependOnOrder(summaries[i]);
    std::array<std::vector<SummaryGrid>, 2> lanes = {EmptyGrids(), EmptyGrids()};
    OrderedPart ordered(records.Count());
    store::ScanColumnsOfAllRecords(records, SummaryColumns(), {busy, SummaryRunSteps(records)},
                                   [&](int lane, int position, const store::Record& record) {
                                       const StandardRows rows = StandardRowsOf(record);
                                       std::vector<SummaryGrid>& grids = lanes[lane];
                                       for (std::size_t i = 0; i < summaries.size(); ++i)
                                           if (in_lanes[i])
                                               PostRecord(summaries[i], record, rows, grids[i]);
                                       ordered.Keep(position, record, rows);
                                   });
    std::vector<SummaryGrid> grids = std::move(lanes[0]);
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        if (!in_lanes[i]) continue;
        grids[i].Absorb(lanes[1][i]);
        if (!grids[i].OrderFree()) return std::nullopt;
    }
    ordered.PostInStoreOrder(grids);
    return grids;
}

}  // namespace

long SummaryRunSteps(const store::RecordSet& records) {
    return records.Count() + kSummaryCount * kWorkbookWeight;
}

std::vector<SummaryGrid> ComputeSummaryGrids(store::RecordSet& records, base::BusyScope* busy) {
    if (records.Count() == 0) return EmptyGrids();
    std::optional<std::vector<SummaryGrid>> grids = GridsFromTwoLanes(records, busy);
    // Fractions or sums too large to be held exactly: only the store order
    // gives the survey's sums.
    if (!grids) grids = ComputeSummaryGridsInOrder(records, busy);
    records.MoveFirst();
    return std::move(*grids);
}

std::vector<SummaryGrid> ComputeSummaryGridsInOrder(store::RecordSet& records,
                                                    base::BusyScope* busy) {
    const auto summaries = Summaries();
    std::vector<SummaryGrid> grids = EmptyGrids();
    if (records.Count() == 0) return grids;
    store::WalkColumnsOfAllRecords(records, SummaryColumns(), {busy, SummaryRunSteps(records)},
                                   [&](const store::Record& record) {
                                       const StandardRows rows = StandardRowsOf(record);
                                       for (std::size_t i = 0; i < summaries.size(); ++i)
                                           PostRecord(summaries[i], record, rows, grids[i]);
                                   });
    records.MoveFirst();
    return grids;
}

}  // namespace zorbix::summary

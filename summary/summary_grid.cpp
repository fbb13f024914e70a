#include "summary/summary_grid.h"

#include <cstddef>

namespace zorbix::summary {

SummaryGrid::SummaryGrid(int columns)
    : columns_(columns), cells_(static_cast<std::size_t>(kGridRows) * columns, 0.0) {}

double SummaryGrid::At(int row, int column) const {
    if (row < 0 || row >= kGridRows || column < 0 || column >= columns_) return 0.0;
    return cells_[static_cast<std::size_t>(row) * columns_ + column];
}

}  // namespace zorbix::summary

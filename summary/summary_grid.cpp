#include "summary/summary_grid.h"

#include <cmath>
#include <cstddef>

namespace zorbix::summary {

SummaryGrid::SummaryGrid(int columns)
    : columns_(columns), cells_(static_cast<std::size_t>(kGridRows) * columns, 0.0) {}

void SummaryGrid::Add(int row, int column, double figure) {
    if (row < 0 || row >= kGridRows || column < 0 || column >= columns_) return;
    double& cell = cells_[static_cast<std::size_t>(row) * columns_ + column];
    const double sum = cell + figure;
    if (std::isfinite(sum)) cell = sum;
}

double SummaryGrid::At(int row, int column) const {
    if (row < 0 || row >= kGridRows || column < 0 || column >= columns_) return 0.0;
    return cells_[static_cast<std::size_t>(row) * columns_ + column];
}

}  // namespace zorbix::summary

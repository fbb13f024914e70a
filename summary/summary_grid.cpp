#include "summary/summary_grid.h"

#include <cstddef>
#include <stdexcept>

namespace zorbix::summary {

SummaryGrid::SummaryGrid(int columns)
    : columns_(columns), cells_(static_cast<std::size_t>(kGridRows) * columns, 0.0) {}

double SummaryGrid::At(int row, int column) const {
    if (row < 0 || row >= kGridRows || column < 0 || column >= columns_) return 0.0;
    return cells_[static_cast<std::size_t>(row) * columns_ + column];
}

void SummaryGrid::Absorb(const SummaryGrid& other) {
    if (other.columns_ != columns_) throw std::logic_error("summary grids of different widths");
    for (std::size_t i = 0; i < cells_.size(); ++i) cells_[i] += other.cells_[i];
    size_ += other.size_;
    fractional_ = fractional_ || other.fractional_;
}

}  // namespace zorbix::summary

// The table of cells one summary fills: rows 0 to 201 and columns 0 to 21
// (0 to 30 for the plan category summaries), indexed like the rows and
// columns of the template's first sheet. Cells hold true sums in double
// precision: whole amounts stay exact far beyond any survey's totals, and
// no addition is lost to a narrow cell type.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace zorbix::summary {

inline constexpr int kGridRows = 202;        // rows 0..201
inline constexpr int kLastWrittenRow = 200;  // rows beyond never reach a workbook

class SummaryGrid {
public:
    // A grid of kGridRows rows and `columns` columns, every cell 0.
    explicit SummaryGrid(int columns);

    // Adds a figure to a cell. An addition outside the grid is skipped (the
    // record still counts elsewhere), and so is one whose sum would no
    // longer be a number (an absurdly long digit string).
    // Inline: the summary run adds hundreds of figures per project.
    void Add(int row, int column, double figure) {
        // Adding nothing changes no sum (no cell is ever -0, so not even its
        // sign): many fields of a project are empty.
        if (figure == 0 || row < 0 || row >= kGridRows || column < 0 || column >= columns_) return;
        double& cell = cells_[static_cast<std::size_t>(row) * columns_ + column];
        const double sum = cell + figure;
        if (std::isfinite(sum)) cell = sum;
    }

    double At(int row, int column) const;
    int Columns() const { return columns_; }

private:
    int columns_;
    std::vector<double> cells_;
};

}  // namespace zorbix::summary

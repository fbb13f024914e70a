// The table of cells one summary fills: rows 0 to 201 and columns 0 to 21
// (0 to 30 for the plan category summaries), indexed like the rows and
// columns of the template's first sheet. Cells hold true sums in double
// precision: whole amounts stay exact far beyond any survey's totals, and
// no addition is lost to a narrow cell type.
#pragma once

#include <cmath>
#include <cstddef>
#include <span>
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
    void Add(int row, int column, double figure) { AddToRows({&row, 1}, column, figure); }

    // Adds the figure to the cell of the column in each of these rows, as
    // Add does one by one (a row named twice gets it twice). Inline: the
    // summary run adds hundreds of figures per project.
    void AddToRows(std::span<const int> rows, int column, double figure) {
        // Adding nothing changes no sum (no cell is ever -0, so not even its
        // sign): many fields of a project are empty.
        if (figure == 0 || column < 0 || column >= columns_) return;
        int added = 0;
        for (const int row : rows) {
            if (row < 0 || row >= kGridRows) continue;
            double& cell = cells_[static_cast<std::size_t>(row) * columns_ + column];
            const double sum = cell + figure;
            if (std::isfinite(sum)) cell = sum;
            ++added;
        }
        size_ += std::fabs(figure) * added;
        // Below the limit the figure's size fits a 64-bit integer, so the
        // cast says whether it is whole; at or past it the grid is not order
        // free anyway, and a NaN fails the comparison.
        if (size_ < kExactSumLimit && static_cast<double>(static_cast<long long>(figure)) != figure)
            fractional_ = true;
    }

    double At(int row, int column) const;
    int Columns() const { return columns_; }

    // True when every figure added was a whole number and the sizes of all
    // of them together stay below 2^53: then every partial sum of every cell
    // is an exactly held whole number, and the cells come out the same
    // whatever order the figures were added in. Two such grids filled from
    // two parts of the records can be joined with Absorb.
    bool OrderFree() const { return !fractional_ && size_ < kExactSumLimit; }

    // Adds another grid's cells into this one's, cell by cell. When both
    // are order free and stay so together, the cells are exactly those of
    // one grid given all the figures of both, in any order.
    void Absorb(const SummaryGrid& other);

private:
    static constexpr double kExactSumLimit = 9007199254740992.0;  // 2^53

    int columns_;
    std::vector<double> cells_;
    double size_ = 0;  // the sum of the sizes of the figures added
    bool fractional_ = false;
};

}  // namespace zorbix::summary

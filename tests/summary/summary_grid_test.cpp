// A grid knows when its sums are the same in any order of the figures, and
// two such grids join into the grid of all their figures.
#include "summary/summary_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace zorbix::summary {
namespace {

constexpr double k2To53 = 9007199254740992.0;

struct OrderCase {
    const char* what;
    std::vector<double> figures;  // each added to the same cell
    bool order_free;
};

TEST(SummaryGrid, KnowsWhenItsSumsDoNotDependOnOrder) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<OrderCase> cases = {
        {"nothing added", {}, true},
        {"whole figures", {1, 7, 40000, -4, 999999999999999}, true},
        {"zeros are not added", {0, 0.0, 3}, true},
        {"a fraction", {1, 0.5}, false},
        {"a tiny fraction", {3e-7}, false},
        {"sizes just below 2^53", {k2To53 / 2, k2To53 / 2 - 1}, true},
        {"sizes reaching 2^53", {k2To53 / 2, k2To53 / 2}, false},
        {"negative sizes count too", {k2To53 / 2, -(k2To53 / 2)}, false},
        {"a huge figure", {1e300}, false},
        {"an infinite figure", {inf}, false},
        {"not a number", {nan}, false},
    };
    for (const OrderCase& c : cases) {
        SummaryGrid grid(22);
        for (double figure : c.figures) grid.Add(5, 2, figure);
        EXPECT_EQ(grid.OrderFree(), c.order_free) << c.what;
    }
}

// A row named twice gets the figure twice and counts twice towards the
// size; rows outside the grid get nothing and count for nothing.
TEST(SummaryGrid, AddsToEachRowAsSingleAdditionsWould) {
    const int rows[] = {12, 16, 16, -1, kGridRows, 149};
    SummaryGrid at_once(22), one_by_one(22);
    for (double figure : {3.0, 4000.0, 0.0, 1.0}) {
        at_once.AddToRows(rows, 7, figure);
        for (int row : rows) one_by_one.Add(row, 7, figure);
    }
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < 22; ++column)
            ASSERT_EQ(at_once.At(row, column), one_by_one.At(row, column)) << row << "," << column;
    EXPECT_EQ(at_once.At(16, 7), 2 * 4004);
    EXPECT_EQ(at_once.At(12, 7), 4004);

    SummaryGrid near_limit(22);
    const int twice[] = {3, 3};
    near_limit.AddToRows(twice, 2, k2To53 / 2);
    EXPECT_FALSE(near_limit.OrderFree()) << "the cell holds 2^53";
    SummaryGrid outside(22);
    outside.AddToRows(twice, 22, 1e300);
    EXPECT_TRUE(outside.OrderFree()) << "a column outside the grid adds nothing";
}

// Whole figures split over two grids join into exactly the sums of one
// grid given them all in order; a fraction or a size at the limit in
// either part makes the joined grid not order free.
TEST(SummaryGrid, JoinsTwoPartsIntoTheWhole) {
    SummaryGrid whole(31), first(31), second(31);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 5000; ++i) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        const int row = static_cast<int>(state % kGridRows);
        const int column = static_cast<int>((state >> 16) % 31);
        const double figure = static_cast<double>(state >> 40) - 4e6;
        whole.Add(row, column, figure);
        (i % 3 == 0 ? first : second).Add(row, column, figure);
    }
    first.Absorb(second);
    EXPECT_TRUE(first.OrderFree());
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < 31; ++column)
            ASSERT_EQ(first.At(row, column), whole.At(row, column)) << row << "," << column;

    SummaryGrid fractional(31), large(31), small(31);
    fractional.Add(1, 1, 0.25);
    large.Add(1, 1, k2To53 - 1);
    small.Add(2, 2, 1);
    SummaryGrid joined(31);
    joined.Absorb(fractional);
    EXPECT_FALSE(joined.OrderFree());
    large.Absorb(small);
    EXPECT_FALSE(large.OrderFree()) << "together they reach 2^53";
    EXPECT_THROW(joined.Absorb(SummaryGrid(22)), std::logic_error);
}

}  // namespace
}  // namespace zorbix::summary

// Each summary's figures, derived by hand for small stores: the columns the
// fields feed, the codes that choose columns, cutting and rounding, and
// sums no narrow cell could hold.
#include <gtest/gtest.h>

#include "store/demo_projects.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_posting.h"
#include "summary/summary_run.h"
#include "tests/summary/summary_test_support.h"

namespace zorbix::testing {
namespace {

using summary::SummaryGrid;

enum Summary {
    kPapers,
    kPatents,
    kTalent,
    kSource,
    kSpending,
    kProgress,
    kReason,
    kLeader,
    kParticipants,
    kProvincialPlan,
    kTotalPlan,
    kTableThree
};

// Department 30 places a project in row 98; with the other codes empty it
// also reaches rows 12 (unit type) and 15 (region).
constexpr int kRow = 98;

std::vector<SummaryGrid> Grids(SmallStore& store) {
    return summary::ComputeSummaryGrids(store.records());
}

struct ColumnCase {
    Summary summary;
    const char* field;
    int column;
};

TEST(SummaryGrids, AmountFieldsFeedTheirColumns) {
    const std::vector<ColumnCase> cases = {
        {kPapers, "JG802", 2},      {kPapers, "JG702", 3},      {kPapers, "JG720", 4},
        {kPapers, "JG710", 5},      {kPapers, "JG711", 6},      {kPatents, "JG901", 2},
        {kPatents, "JG911", 3},     {kPatents, "JG912", 4},     {kPatents, "JG913", 5},
        {kPatents, "JG902", 6},     {kPatents, "JG914", 7},     {kPatents, "JG915", 8},
        {kPatents, "JG916", 9},     {kPatents, "JG920", 10},    {kTalent, "JL410", 2},
        {kTalent, "JL420", 3},      {kSource, "JF1002", 2},     {kSource, "JF1702", 3},
        {kSource, "JF1102", 4},     {kSource, "JF1202", 5},     {kSource, "JF1302", 6},
        {kSource, "JF1402", 7},     {kSource, "JF1502", 8},     {kSource, "JF1602", 9},
        {kSpending, "JF2002", 2},   {kSpending, "JF3002", 3},   {kSpending, "JF3112", 4},
        {kSpending, "JF3122", 5},   {kSpending, "JF3132", 6},   {kSpending, "JF3142", 7},
        {kTableThree, "JL100", 2},  {kTableThree, "JL110", 3},  {kTableThree, "JL111", 4},
        {kTableThree, "JL430", 5},  {kTableThree, "JL440", 6},  {kTableThree, "JL120", 7},
        {kTableThree, "JL121", 8},  {kTableThree, "JL130", 9},  {kTableThree, "JL131", 10},
        {kTableThree, "JL140", 11}, {kTableThree, "JL150", 12}, {kTableThree, "JL160", 13},
        {kTableThree, "JL190", 14}, {kTableThree, "JL200", 15}, {kTableThree, "JL300", 16},
        {kTableThree, "JL400", 17}, {kTableThree, "JL410", 18}, {kTableThree, "JL420", 19}};
    for (const ColumnCase& c : cases) {
        SmallStore store;
        store.Add({{"JB26", "30"}, {c.field, "7.9"}});
        const auto grids = Grids(store);
        const SummaryGrid& grid = grids[c.summary];
        for (int row : {12, 15, kRow})
            EXPECT_EQ(grid.At(row, c.column), 7) << c.field << " row " << row;
        double elsewhere = 0;
        for (int r = 0; r < summary::kGridRows; ++r)
            for (int col = 0; col < grid.Columns(); ++col) elsewhere += grid.At(r, col);
        EXPECT_EQ(elsewhere, 21) << c.field << " fed another column too";
    }
}

TEST(SummaryGrids, AmountsAreCutPerProjectAndSumsAreTrue) {
    SmallStore store;
    store.Add({{"JB26", "30"},
               {"JF1002", "12.9"},
               {"JG802", "2.5"},
               {"JL300", "30000"},
               {"JG702", "-5"}});
    store.Add(
        {{"JB26", "30"}, {"JF1002", "0.5"}, {"JL300", "30000.7"}, {"JL410", "1"}, {"JL420", "2"}});
    store.Add({{"JB26", "30"}, {"JL300", "7.5"}, {"JG702", "40000"}});
    const auto grids = Grids(store);
    EXPECT_EQ(grids[kSource].At(kRow, 2), 12);          // 12.9 adds 12, 0.5 adds 0
    EXPECT_EQ(grids[kPapers].At(kRow, 2), 2);           // 2.5 adds 2
    EXPECT_EQ(grids[kTableThree].At(kRow, 16), 60007);  // beyond 16 bits, nothing skipped
    EXPECT_EQ(grids[kPapers].At(kRow, 3), 39995);       // a negative amount is added too
    EXPECT_EQ(grids[kTalent].At(kRow, 2), 1);
    EXPECT_EQ(grids[kTalent].At(kRow, 3), 2);
    for (int row = 0; row < summary::kGridRows; ++row) {
        EXPECT_EQ(grids[kTableThree].At(row, 18), grids[kTalent].At(row, 2)) << row;
        EXPECT_EQ(grids[kTableThree].At(row, 19), grids[kTalent].At(row, 3)) << row;
    }
}

struct CodeCase {
    const char* text;
    int column;  // 0 when the project is counted nowhere in the grid
};

TEST(SummaryGrids, ProgressCodesChooseTheColumn) {
    const std::vector<CodeCase> cases = {{"", 2},           {"1.按计划进度进行", 2},
                                         {"0", 2},          {"3.拖延", 4},
                                         {"5.申请撤销", 6}, {"2.5", 3},
                                         {"3.5", 5},        {"-1", 0},
                                         {"25", -1},        {"99999999999", -1}};
    for (const CodeCase& c : cases) {
        SmallStore store;
        store.Add({{"JB26", "30"}, {"JB71", c.text}});
        const SummaryGrid grid = Grids(store)[kProgress];
        double total = 0;
        for (int col = 0; col < grid.Columns(); ++col) total += grid.At(kRow, col);
        if (c.column < 0) {
            EXPECT_EQ(total, 0) << c.text << ": beyond the grid, not counted";
            continue;
        }
        EXPECT_EQ(grid.At(kRow, c.column), 1) << c.text;
        EXPECT_EQ(total, 1) << c.text;
    }
}

TEST(SummaryGrids, UnfinishedReasonsChooseTheColumn) {
    const std::vector<CodeCase> cases = {{"00.技术变化", 2},
                                         {"10.计划性调整", 3},
                                         {"41.拨款不到位", 6},
                                         {"42.贷款不落实 ", 7},
                                         {"90.其它原因", 12},
                                         {"", 16},
                                         {"5", 16},
                                         {"99", 16},
                                         {"43", 16},
                                         {"41.5", 7},
                                         {"40.5", 16},
                                         {"41.4", 6}};
    for (const CodeCase& c : cases) {
        SmallStore store;
        store.Add({{"JB26", "30"}, {"JB71", "1"}, {"JB72_01", c.text}, {"JB72_02", "10"}});
        const SummaryGrid grid = Grids(store)[kReason];
        EXPECT_EQ(grid.At(kRow, c.column), 1) << c.text;
    }
}

TEST(SummaryGrids, LeaderCountedBySexDegreeTitleAndAge) {
    SmallStore store;
    store.Add({{"JB26", "30"},
               {"JB421", "1.男"},
               {"JB451", "3.学士"},
               {"JB461", "1.高级"},
               {"JB431", "1980"}});
    store.Add(
        {{"JB26", "30"}, {"JB421", "9"}, {"JB451", "1.博士"}, {"JB461", "2.5"}, {"JB431", "1979"}});
    store.Add({{"JB26", "30"},
               {"JB421", "2.女"},
               {"JB451", "9.其他"},
               {"JB461", "9.其他"},
               {"JB431", "1950"}});
    store.Add({{"JB26", "30"},
               {"JB421", "1.5"},
               {"JB451", "2.硕士"},
               {"JB461", "3.初级"},
               {"JB431", "1949"}});
    store.Add({{"JB26", "30"}});
    const SummaryGrid grid = Grids(store)[kLeader];
    const std::vector<std::pair<int, double>> expected = {
        {2, 0},  {3, 2},  {4, 3},  {5, 1},  {6, 1},  {7, 1},  {8, 2},  {9, 1},
        {10, 1}, {11, 1}, {12, 2}, {13, 1}, {14, 1}, {15, 0}, {19, 1}, {20, 2}};
    for (auto [column, count] : expected) EXPECT_EQ(grid.At(kRow, column), count) << column;
}

TEST(SummaryGrids, ParticipantsCountPersonsTwoAndThree) {
    SmallStore store;
    store.Add({{"JB26", "30"},
               {"JB421", "2.女"},
               {"JB422", "2.女"},
               {"JB452", "1.博士"},
               {"JB462", "1.高级"},
               {"JB432", "1976"}});
    const SummaryGrid grid = Grids(store)[kParticipants];
    // Person 3 is empty: sex below 2, other title, other degree, born before 1950.
    const std::vector<std::pair<int, double>> expected = {{3, 1}, {4, 1},  {5, 1},  {8, 1},
                                                          {9, 1}, {12, 1}, {14, 1}, {20, 1}};
    for (auto [column, count] : expected) EXPECT_EQ(grid.At(kRow, column), count) << column;
    EXPECT_EQ(grid.At(kRow, 3) + grid.At(kRow, 4), 2);
}

TEST(SummaryGrids, PlanCategoriesCountAndAddFundsWithFractions) {
    SmallStore store;
    store.Add(
        {{"JB26", "05"}, {"JB61", "2102.重点科技攻关"}, {"JF1102", "10.5"}, {"JF1002", "20.25"}});
    store.Add({{"JB26", "05"}, {"JB61", "2102"}, {"JF1102", "4"}, {"JF1002", "-1"}});
    store.Add({{"JB26", "05"}, {"JB61", ""}, {"JF1102", "3"}});
    store.Add({{"JB26", "05"}, {"JB61", "2202"}, {"JF1102", "3"}});
    store.Add({{"JB26", "05"}, {"JB61", "4300"}, {"JF1102", "0.1"}});
    store.Add({{"JB26", "05"}, {"JB61", "4300"}, {"JF1102", "0.2"}});
    const auto grids = Grids(store);
    const SummaryGrid& provincial = grids[kProvincialPlan];
    EXPECT_EQ(provincial.At(73, 8), 2);
    EXPECT_EQ(provincial.At(73, 9), 14.5);
    EXPECT_EQ(provincial.At(40, 8), 2);   // the category's own row
    EXPECT_EQ(provincial.At(73, 29), 2);  // empty and unpaired codes: never written
    EXPECT_EQ(provincial.At(73, 30), 6);
    EXPECT_EQ(provincial.At(73, 22), 2);
    EXPECT_NEAR(provincial.At(73, 23), 0.3, 1e-12);
    EXPECT_EQ(provincial.At(47, 22), 2);            // 4300 has a row and a pair
    EXPECT_EQ(grids[kTotalPlan].At(73, 9), 19.25);  // JF1002, negative added too
}

TEST(SummaryGrids, PlanPairRoundsHalvesToEvenWhileTheRowIsCut) {
    SmallStore store;
    store.Add({{"JB26", "05"}, {"JB61", "2101.5"}, {"JF1102", "1"}});
    const SummaryGrid grid = Grids(store)[kProvincialPlan];
    EXPECT_EQ(grid.At(39, 8), 1);  // row of 2101, pair of 2102
    EXPECT_EQ(grid.At(73, 8), 1);
    EXPECT_EQ(grid.At(73, 6), 0);
}

TEST(SummaryGrids, UnitTypeFifteenLandsInTheRegionRows) {
    SmallStore store;
    store.Add({{"JB25", "15"}, {"JB22", "960100"}, {"JG901", "3"}});
    const SummaryGrid grid = Grids(store)[kPatents];
    EXPECT_EQ(grid.At(16, 2), 6);  // its unit type row and its region row are both row 16
    EXPECT_EQ(grid.At(12, 2), 0);
}

TEST(SummaryGrids, GroupsEachCoverEveryProject) {
    SmallStore store;
    store::AddDemoProjects(store.records(), 300, 7);
    store.records().Reopen();
    const SummaryGrid grid = summary::ComputeSummaryGrids(store.records())[kProgress];
    for (auto [first, last] : {std::pair{2, 12}, {15, 33}, {69, 149}}) {
        double total = 0;
        for (int row = first; row <= last; ++row)
            for (int col = 2; col <= 6; ++col) total += grid.At(row, col);
        EXPECT_EQ(total, 300) << first;
    }
    EXPECT_EQ(store.records().Position(), 1) << "the first record is current after the walk";
}

// The grids of posting every whole record, one after the other in store
// order: what the run must give however it reads the records.
std::vector<SummaryGrid> PostedInStoreOrder(store::RecordSet& records) {
    std::vector<SummaryGrid> whole;
    for (const auto& s : summary::Summaries()) whole.emplace_back(s.grid_columns);
    for (int position = 1; position <= records.Count(); ++position) {
        const store::Record record = records.ReadRow(position);
        const summary::StandardRows rows = summary::StandardRowsOf(record);
        for (std::size_t i = 0; i < whole.size(); ++i)
            summary::PostRecord(summary::Summaries()[i], record, rows, whole[i]);
    }
    return whole;
}

void ExpectSameCells(const std::vector<SummaryGrid>& read, const std::vector<SummaryGrid>& whole) {
    ASSERT_EQ(read.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
        for (int row = 0; row < summary::kGridRows; ++row)
            for (int column = 0; column < whole[i].Columns(); ++column)
                ASSERT_EQ(read[i].At(row, column), whole[i].At(row, column))
                    << summary::Summaries()[i].name << " row " << row << " column " << column;
}

// Demo projects beyond what one thread reads, and funds with fractions
// spread through the store: their sums depend on the order.
void AddManyProjects(SmallStore& store) {
    store::AddDemoProjects(store.records(), 6000, 7);
    const char* funds[] = {"0.1", "12.75", "100.125", "0.3", "7.7", "1e-3", "33.33"};
    for (int i = 0; i < 70; ++i)
        store.Add({{"JB25", "3"},
                   {"JB61", i % 2 ? "2101.5" : "1100"},
                   {"JF1102", funds[i % 7]},
                   {"JF1002", funds[(i + 3) % 7]},
                   {"JB421", "2"}});
}

// The run reads only the columns the summaries post from, on two threads,
// and joins what each posted: the grids are those of posting every whole
// record in store order, to the last bit.
TEST(SummaryGrids, ReadingOnTwoThreadsChangesNoFigure) {
    SmallStore store;
    AddManyProjects(store);
    store.records().Reopen();
    const std::vector<SummaryGrid> whole = PostedInStoreOrder(store.records());
    ExpectSameCells(Grids(store), whole);
    EXPECT_EQ(store.records().Position(), 1) << "the run ends on the first record";
    ExpectSameCells(summary::ComputeSummaryGridsInOrder(store.records()), whole);
}

// Whole amounts so large that their sums round: only the store order gives
// the survey's figures, and the run takes it.
TEST(SummaryGrids, SumsTooLargeToHoldExactlyAreAddedInStoreOrder) {
    SmallStore store;
    AddManyProjects(store);
    store.Add({{"JB02", "000000000001"}, {"JG702", "9007199254740992"}, {"JL410", "1e17"}});
    for (int i = 0; i < 40; ++i) store.Add({{"JG702", "1"}, {"JL410", "3"}});
    store.records().Reopen();
    ExpectSameCells(Grids(store), PostedInStoreOrder(store.records()));
}

}  // namespace
}  // namespace zorbix::testing

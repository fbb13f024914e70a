#include "store/record_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::store {
namespace {

const int kNumber = ColumnIndex("JB02");
const int kName = ColumnIndex("JB01");

class RecordSetTest : public ::testing::Test {
protected:
    void AddNumbers(std::initializer_list<const char*> numbers) {
        for (const char* n : numbers) {
            Row row(kColumnCount);
            row[kNumber] = n;
            row[kName] = std::string("项目") + n;
            store_->records().AddNew(row);
        }
    }
    void Reopen() {
        store_.reset();
        store_ = testing::OpenTestStore(dir_.path());
    }
    RecordSet& records() { return store_->records(); }

    testing::TempDir dir_;
    std::unique_ptr<Store> store_ = testing::OpenTestStore(dir_.path());
};

TEST_F(RecordSetTest, OrdersByProjectNumberWhenOpened) {
    AddNumbers({"300000000000", "100000000000", "200000000000"});
    Reopen();
    ASSERT_EQ(records().Count(), 3);
    EXPECT_EQ(records().Position(), 0);
    records().MoveFirst();
    EXPECT_EQ(records().Value(kNumber), "100000000000");
    records().MoveNext();
    EXPECT_EQ(records().Value("JB02"), "200000000000");
    EXPECT_EQ(records().Position(), 2);
}

// A walk over a few columns visits every record in set order (one added
// since the set opened last), with the pending change written first and
// every other column empty; it stops when asked to.
TEST_F(RecordSetTest, VisitsChosenColumnsInSetOrder) {
    AddNumbers({"300000000000", "100000000000", "200000000000"});
    Reopen();
    AddNumbers({"050000000000"});
    records().MoveFirst();
    records().SetValue(kName, "改过的名称");
    const std::vector<int> columns = {kName, kNumber, kName};
    std::vector<std::string> seen;
    records().VisitColumns(columns, [&](const Record& record) {
        seen.push_back(std::string(record[kNumber]) + " " + std::string(record[kName]));
        for (int c = 0; c < kColumnCount; ++c) {
            if (c == kName || c == kNumber) continue;
            EXPECT_EQ(record[c], "") << c;
        }
        return true;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "100000000000 改过的名称", "200000000000 项目200000000000",
                        "300000000000 项目300000000000", "050000000000 项目050000000000"}));
    EXPECT_FALSE(records().HasPendingChange());
    int visited = 0;
    records().VisitColumns(columns, [&](const Record&) { return ++visited < 2; });
    EXPECT_EQ(visited, 2);
}

// A scan hands every position on once, holding only the chosen columns: on
// both lanes when the set is large, with the pending change written first,
// and a row gone from the table since the set opened as an empty record.
TEST_F(RecordSetTest, ScansEveryPositionOnceOnTwoLanes) {
    if (testing::OnPostgres())
        GTEST_SKIP() << "a shared store reads in blocks and follows removals";
    AddDemoProjects(records(), 6000, 11);
    Reopen();
    const std::string gone(records().ReadRow(17)[kNumber]);
    testing::OpenTestDatabase(dir_.path())
        ->Execute("DELETE FROM kjxmzxqk WHERE \"JB02\" = '" + gone + "'");
    records().MoveTo(3);
    records().SetValue(kName, "改过的名称");
    std::vector<std::string> numbers(6000 + 1), names(6000 + 1);
    std::vector<int> seen(6000 + 1, 0);
    std::array<std::atomic<int>, 2> on_lane{};
    std::atomic<int> wrong_lane = 0, other_columns = 0;
    const std::vector<int> columns = {kNumber, kName};
    records().ScanColumns(columns, [&](int lane, int position, const Record& record) {
        if (lane != 0 && lane != 1) return void(++wrong_lane);
        ++on_lane[lane];
        ++seen[position];
        numbers[position] = record[kNumber];
        names[position] = record[kName];
        for (int c = 0; c < kColumnCount; ++c)
            if (c != kName && c != kNumber && !record[c].empty()) ++other_columns;
    });
    EXPECT_EQ(wrong_lane, 0);
    EXPECT_EQ(other_columns, 0);
    EXPECT_GT(on_lane[0], 0);
    EXPECT_GT(on_lane[1], 0);
    EXPECT_EQ(on_lane[0] + on_lane[1], 6000);
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), 6000);
    EXPECT_FALSE(records().HasPendingChange());
    EXPECT_EQ(names[3], "改过的名称");
    EXPECT_EQ(numbers[17], "") << "the row gone from the table";
    for (int position : {1, 2, 18, 3000, 6000})
        EXPECT_EQ(numbers[position], records().ReadRow(position)[kNumber]) << position;
}

TEST_F(RecordSetTest, AddedRecordStaysAtTheEndUntilReopened) {
    AddNumbers({"300000000000", "200000000000"});
    Reopen();
    AddNumbers({"100000000000"});
    EXPECT_EQ(records().Position(), 3);
    records().MoveFirst();
    records().MoveLast();
    EXPECT_EQ(records().Value(kNumber), "100000000000");
    records().Reopen();
    records().MoveFirst();
    EXPECT_EQ(records().Value(kNumber), "100000000000");
}

TEST_F(RecordSetTest, WalksPastTheEndAndStopsAtTheFirst) {
    AddNumbers({"1", "2"});
    records().MoveFirst();
    records().MovePrevious();
    EXPECT_EQ(records().Position(), 1);
    records().MoveNext();
    records().MoveNext();
    EXPECT_TRUE(records().AtEnd());
    EXPECT_FALSE(records().HasCurrent());
    EXPECT_EQ(records().Value(kNumber), "");
    records().MoveNext();
    EXPECT_TRUE(records().AtEnd());
    records().MovePrevious();
    EXPECT_EQ(records().Position(), 2);
}

TEST_F(RecordSetTest, EmptySetHasNoFirstRecord) {
    EXPECT_THROW(records().MoveFirst(), base::Failure);
    EXPECT_THROW(records().MoveLast(), base::Failure);
    EXPECT_THROW(records().WriteBack(), base::Failure);
    EXPECT_THROW(records().Delete(), base::Failure);
    EXPECT_THROW(records().SetValue(kName, "x"), base::Failure);
}

TEST_F(RecordSetTest, PendingChangeIsWrittenWhenTheRecordIsLeft) {
    AddNumbers({"1", "2"});
    records().MoveFirst();
    records().SetValue(kName, "新名称");
    EXPECT_TRUE(records().HasPendingChange());
    records().MoveNext();
    EXPECT_FALSE(records().HasPendingChange());
    Reopen();
    records().MoveFirst();
    EXPECT_EQ(records().Value(kName), "新名称");
}

TEST_F(RecordSetTest, PendingChangeIsWrittenWhenTheStoreCloses) {
    AddNumbers({"1"});
    records().MoveFirst();
    records().SetValue("JDCG", "第一行\r\n第二行");
    Reopen();
    records().MoveFirst();
    EXPECT_EQ(records().Value("JDCG"), "第一行\r\n第二行");
}

TEST_F(RecordSetTest, DeleteLeavesNoCurrentRecordAndMovesOnFromThere) {
    AddNumbers({"1", "2", "3"});
    records().MoveTo(2);
    records().Delete();
    EXPECT_FALSE(records().HasCurrent());
    EXPECT_EQ(records().Count(), 2);
    records().MoveNext();
    EXPECT_EQ(records().Value(kNumber), "3");
    Reopen();
    EXPECT_EQ(records().Count(), 2);
}

TEST_F(RecordSetTest, NotifiesMovesAndChanges) {
    AddNumbers({"1", "2"});
    std::vector<RecordEventKind> seen;
    const int id = records().Subscribe([&](const RecordEvent& e) { seen.push_back(e.kind); });
    records().MoveFirst();
    records().SetValue(kName, "x");
    records().MoveNext();
    records().Unsubscribe(id);
    records().MoveFirst();
    EXPECT_EQ(seen,
              (std::vector<RecordEventKind>{RecordEventKind::Moved, RecordEventKind::ValueChanged,
                                            RecordEventKind::Written, RecordEventKind::Moved}));
}

TEST_F(RecordSetTest, ReadsRowsAndColumnsWithoutMoving) {
    AddNumbers({"2", "1"});
    records().MoveTo(1);
    records().SetValue(kName, "未保存");
    EXPECT_EQ(records().ReadRow(2)[kNumber], "1");
    EXPECT_EQ(records().ColumnValues(kName), (std::vector<std::string>{"未保存", "项目1"}));
    EXPECT_EQ(records().Position(), 1);
}

TEST_F(RecordSetTest, KeepsLongValuesWhole) {
    AddNumbers({"1"});
    const std::string long_text(5000, 'x');
    records().SetValue(kName, long_text);
    records().SetValue("BY3", "任意文本\t\"引号\"");
    Reopen();
    records().MoveFirst();
    EXPECT_EQ(records().Value(kName), long_text);
    EXPECT_EQ(records().Value("BY3"), "任意文本\t\"引号\"");
}

// A walk over a large set reads the table in two halves at once; every
// record must still arrive at its own position, in and out of a transaction.
TEST_F(RecordSetTest, WalkOverALargeSetMeetsEveryRecordInOrder) {
    AddDemoProjects(records(), 6000, 3);
    Reopen();
    const auto numbers = records().ColumnValues(kNumber);
    const auto names = records().ColumnValues(kName);
    for (bool in_transaction : {false, true}) {
        records().Reopen();
        std::unique_ptr<Transaction> transaction;
        if (in_transaction) transaction = std::make_unique<Transaction>(records().database());
        int position = 0;
        for (records().MoveFirst(); !records().AtEnd(); records().MoveNext()) {
            ASSERT_EQ(records().Value(kNumber), numbers[position]);
            ASSERT_EQ(records().Value(kName), names[position]);
            ++position;
        }
        EXPECT_EQ(position, 6000);
    }
}

}  // namespace
}  // namespace zorbix::store

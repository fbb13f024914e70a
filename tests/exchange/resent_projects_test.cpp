// Re-sent projects: the comparison finds exactly the changed columns, the
// replacement changes exactly the chosen projects and logs each column.
#include "exchange/resent_projects.h"

#include <gtest/gtest.h>

#include <fstream>

#include "exchange/exchange_operations.h"
#include "exchange/exchange_writer.h"
#include "store/backups.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::exchange {
namespace {

store::Row Project(const std::string& number) {
    store::Row row(store::kColumnCount);
    for (int c = 0; c < store::kColumnCount; ++c) row[c] = "值" + std::to_string(c);
    row[store::kNumberColumn] = number;
    return row;
}

class ResentProjects : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* n : {"201300000001", "201300000002", "201300000003"})
            records.AddNew(Project(n));
    }
    AppendResult Send(const std::vector<store::Row>& rows, bool compare_only) {
        std::string bytes;
        for (const auto& r : rows) bytes += RecordBytes(store::Record(r), kSubmitPlaceholder);
        std::ofstream(dir / "in.kj", std::ios::binary) << bytes;
        if (compare_only) return CompareWithStore(records, prompter, dir / "in.kj");
        prompter.files.push_back(dir / "in.kj");
        return AppendProjects(records, prompter, dir.path());
    }
    store::Row Stored(int position) { return records.ReadRow(position).ToRow(); }

    testing::TempDir dir;
    store::Store store{dir.path()};
    store::RecordSet& records = store.records();
    testing::RecordingPrompter prompter;
};

TEST_F(ResentProjects, ComparisonFindsExactlyTheChangedColumns) {
    auto second = Project("201300000002");
    second[store::ColumnIndex("JDCG")] = "值" + std::to_string(store::ColumnIndex("JDCG")) + "\r\n";
    second[store::ColumnIndex("JB01")] += " ";
    second[store::ColumnIndex("BY3")] = "新";
    const auto result =
        Send({Project("201300000001"), second, Project("201300000004")}, /*compare_only=*/true);
    EXPECT_EQ(result.identical, 1);
    ASSERT_EQ(result.differing.size(), 1u);
    EXPECT_EQ(result.differing[0].number, "201300000002");
    EXPECT_EQ(result.differing[0].columns,
              (std::vector<int>{store::ColumnIndex("JB01"), store::ColumnIndex("JDCG"),
                                store::ColumnIndex("BY3")}));
    EXPECT_EQ(records.Count(), 3) << "a comparison adds nothing";
    EXPECT_TRUE(prompter.messages.empty()) << "and announces no duplicate";
}

// Submit writes " " and distribute "." for an empty value; a project that
// went out with empty fields and comes back unchanged is the same project.
TEST_F(ResentProjects, AnEmptyFieldSentBackAsItsPlaceholderIsNoChange) {
    auto emptied = Project("201300000004");
    emptied[store::ColumnIndex("JB03")] = "";
    emptied[store::ColumnIndex("JDCG")] = "";
    records.AddNew(emptied);
    for (const auto placeholder : {kSubmitPlaceholder, kDistributePlaceholder}) {
        std::ofstream(dir / "in.kj", std::ios::binary)
            << RecordBytes(store::Record(emptied), placeholder);
        const auto result = CompareWithStore(records, prompter, dir / "in.kj");
        EXPECT_EQ(result.identical, 1) << "placeholder \"" << placeholder << "\"";
        EXPECT_TRUE(result.differing.empty());
    }
}

TEST_F(ResentProjects, ReplacementChangesExactlyTheChosenProjectsAndLogsEachColumn) {
    auto first = Project("201300000001");
    first[store::ColumnIndex("JB01")] = "更正后的名称";
    auto third = Project("201300000003");
    third[store::ColumnIndex("JB03")] = "更正";
    const auto untouched = Stored(3);
    const auto result = Send({first, third, Project("201300000002")}, false);
    ASSERT_EQ(result.differing.size(), 2u);
    EXPECT_EQ(prompter.Texts().back(),
              "已存在而没有追加的3个项目中，1个与库中的数据相同，2个不同：201300000001、"
              "201300000003。");

    ASSERT_TRUE(ReplaceResentProjects(records, prompter, {result.differing[0]}));
    EXPECT_EQ(Stored(1), first);
    EXPECT_EQ(Stored(3), untouched);
    const auto lines = records.history().ForProject("201300000001");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].operation, store::operation::kReplace);
    EXPECT_EQ(lines[0].column, "JB01");
    EXPECT_EQ(lines[0].old_value, "值2");
    EXPECT_EQ(lines[0].new_value, "更正后的名称");
    ASSERT_EQ(lines.size(), 2u) << "one line for the replaced column, one for the adding";
    EXPECT_EQ(lines[1].column, "");
    // The append added nothing, so its backup already holds the store as it
    // was before the replacement; no second copy is made.
    const auto backups = store::ListBackups(store::BackupFolder(store.database()));
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].operation, store::operation::kAppend);
}

// A file carries a double quote as an apostrophe and an empty value as a
// placeholder: neither is a change, neither is written over the stored
// value when the incoming data are taken, and the history lists exactly the
// differences the review showed.
TEST_F(ResentProjects, OnlyRealDifferencesAreShownTakenAndLogged) {
    auto quoted = Project("201300000004");
    quoted[store::ColumnIndex("JB01")] = "“新型”\"材料\"研究";
    quoted[store::ColumnIndex("JB03")] = "";
    quoted[store::ColumnIndex("JDCG")] = "";
    records.AddNew(quoted);
    auto corrected = quoted;
    corrected[store::ColumnIndex("BY3")] = "更正";
    for (const auto placeholder : {kSubmitPlaceholder, kDistributePlaceholder}) {
        std::ofstream(dir / "in.kj", std::ios::binary)
            << RecordBytes(store::Record(quoted), placeholder);
        const auto same = CompareWithStore(records, prompter, dir / "in.kj");
        EXPECT_EQ(same.identical, 1) << "placeholder \"" << placeholder << "\"";
        EXPECT_TRUE(same.differing.empty());
    }
    std::ofstream(dir / "in.kj", std::ios::binary)
        << RecordBytes(store::Record(corrected), kSubmitPlaceholder);
    const auto result = CompareWithStore(records, prompter, dir / "in.kj");
    ASSERT_EQ(result.differing.size(), 1u);
    EXPECT_EQ(result.differing[0].columns, std::vector<int>{store::ColumnIndex("BY3")});
    ASSERT_TRUE(ReplaceResentProjects(records, prompter, result.differing));
    EXPECT_EQ(Stored(4), corrected) << "the quotes and the empty values stay as stored";
    std::vector<std::string> logged;
    for (const auto& line : records.history().ForProject("201300000004"))
        if (line.operation == store::operation::kReplace) logged.push_back(line.column);
    EXPECT_EQ(logged, std::vector<std::string>{"BY3"});
}

}  // namespace
}  // namespace zorbix::exchange

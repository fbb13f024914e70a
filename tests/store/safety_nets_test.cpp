// Backups, restore and the change history of the store.
#include <gtest/gtest.h>

#include <fstream>

#include "store/backup_operations.h"
#include "store/backups.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/project_table.h"
#include "store/store.h"
#include "store/store_operations.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

class SafetyNetsTest : public ::testing::Test {
protected:
    void SetUp() override { AddDemoProjects(records(), 30, 7, nullptr); }
    RecordSet& records() { return store_->records(); }
    fs::path Folder() { return dir_.path() / "backup"; }

    // Every record with all 137 columns, in store order.
    std::vector<Row> Everything() {
        std::vector<Row> all;
        records().Reopen();
        for (int p = 1; p <= records().Count(); ++p) all.push_back(records().ReadRow(p).ToRow());
        return all;
    }

    testing::TempDir dir_;
    std::unique_ptr<Store> store_ = std::make_unique<Store>(dir_.path());
    testing::RecordingPrompter prompter_;
};

TEST_F(SafetyNetsTest, EachDestructiveOperationLeavesABackupThatRestoresTheStore) {
    struct Case {
        const char* operation;
        std::function<base::Outcome(RecordSet&, base::Prompter&)> run;
    };
    const std::vector<Case> cases = {
        {"项目删除",
         [](RecordSet& r, base::Prompter& p) {
             r.MoveTo(3);
             return DeleteProject(r, p);
         }},
        {"数据初始化", [](RecordSet& r, base::Prompter& p) { return InitialiseStore(r, p); }},
    };
    for (const auto& c : cases) {
        records().MoveTo(2);
        records().SetValue("JDCG", std::string("改动\r\n ") + c.operation);
        records().WriteBack();
        const auto before = Everything();
        ASSERT_TRUE(c.run(records(), prompter_)) << c.operation;
        const auto backups = ListBackups(Folder());
        ASSERT_FALSE(backups.empty());
        EXPECT_EQ(backups.front().operation, c.operation);
        EXPECT_NE(Everything(), before);
        ASSERT_TRUE(RestoreBackup(records(), prompter_, backups.front().name)) << c.operation;
        EXPECT_EQ(Everything(), before) << c.operation;
    }
}

TEST_F(SafetyNetsTest, AnUnchangedStoreIsNotBackedUpTwice) {
    ASSERT_TRUE(MakeBackup(store_->database(), "备份"));
    EXPECT_FALSE(MakeBackup(store_->database(), "备份"));
    records().MoveTo(1);
    records().SetValue("JB01", "新");
    records().WriteBack();
    EXPECT_TRUE(MakeBackup(store_->database(), "备份"));
    EXPECT_EQ(ListBackups(Folder()).size(), 2u);
}

TEST_F(SafetyNetsTest, RetentionKeepsTheNewestTwenty) {
    std::vector<std::string> made;
    for (int i = 0; i < 25; ++i) {
        records().MoveTo(1);
        records().SetValue("JB01", "名称" + std::to_string(i));
        records().WriteBack();
        made.push_back(MakeBackup(store_->database(), "备份")->filename().string());
    }
    const auto kept = WithProjectCounts(ListBackups(Folder()));
    ASSERT_EQ(kept.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(kept[i].name, made[24 - i]) << "newest first";
        EXPECT_EQ(kept[i].projects, 30);
    }
}

TEST_F(SafetyNetsTest, AFailedBackupStopsTheOperationAndChangesNothing) {
    std::ofstream(Folder()) << "a file where the folder should be";
    const auto before = Everything();
    records().MoveTo(1);
    EXPECT_EQ(DeleteProject(records(), prompter_), base::Outcome::Failed);
    EXPECT_EQ(InitialiseStore(records(), prompter_), base::Outcome::Failed);
    EXPECT_EQ(Everything(), before);
    const auto texts = prompter_.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(texts.back().find("无法在文件夹“" + Folder().string() + "”中建立备份"),
              std::string::npos)
        << texts.back();
    EXPECT_NE(texts.back().find("数据没有改动"), std::string::npos);
}

TEST_F(SafetyNetsTest, DamagedOrForeignBackupsAreRefused) {
    fs::create_directories(Folder());
    const std::string names[] = {"zorbix2013-20131205-143012-备份.db",
                                 "zorbix2013-20131205-143013-备份.db", "../zorbix2013.db"};
    std::ofstream(Folder() / names[0]) << "no database at all";
    {
        SqliteDatabase foreign(Folder() / names[1]);
        foreign.Execute("CREATE TABLE kjxmzxqk (JB02 TEXT)");
    }
    const auto before = Everything();
    for (const auto& name : names) {
        EXPECT_EQ(RestoreBackup(records(), prompter_, name), base::Outcome::Refused) << name;
        EXPECT_NE(prompter_.Texts().back().find("当前的数据没有改动"), std::string::npos);
    }
    EXPECT_EQ(Everything(), before);
}

TEST_F(SafetyNetsTest, HistoryHoldsOldAndNewValuesOfEditsAndRemovals) {
    records().MoveTo(4);
    const std::string number(records().Value("JB02"));
    const std::string name(records().Value("JB01"));
    const std::string results(records().Value("JDCG"));
    records().SetValue("JDCG", "第一行\r\n第二行 ");
    records().WriteBack();
    records().WriteBack();  // unchanged: no line
    {
        OperationLabel label(records(), operation::kSet);
        records().SetValue("JB01", "新名称");
        records().WriteBack();
    }
    ASSERT_TRUE(DeleteProject(records(), prompter_));
    const auto lines = records().history().ForProject(number);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].operation, operation::kDelete);
    EXPECT_EQ(lines[0].old_value, "新名称");
    EXPECT_EQ(lines[0].column, "");
    EXPECT_EQ(lines[1].operation, operation::kSet);
    EXPECT_EQ(lines[1].column, "JB01");
    EXPECT_EQ(lines[1].old_value, name);
    EXPECT_EQ(lines[1].new_value, "新名称");
    EXPECT_EQ(lines[2].operation, operation::kTyping);
    EXPECT_EQ(lines[2].column, "JDCG");
    EXPECT_EQ(lines[2].old_value, results);
    EXPECT_EQ(lines[2].new_value, "第一行\r\n第二行 ");
    EXPECT_EQ(lines[3].operation, operation::kDemo);
    EXPECT_EQ(lines[3].new_value, name);
}

// A mended project number takes the project's history along; the old
// number keeps nothing of it.
TEST_F(SafetyNetsTest, HistoryFollowsAProjectToItsMendedNumber) {
    records().MoveTo(2);
    const std::string old_number(records().Value("JB02"));
    records().SetValue("JB01", "改名");
    records().WriteBack();
    records().SetValue("JB02", "201399999999");
    records().WriteBack();
    EXPECT_TRUE(records().history().ForProject(old_number).empty());
    const auto lines = records().history().ForProject("201399999999");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].column, "JB02");
    EXPECT_EQ(lines[0].old_value, old_number);
    EXPECT_EQ(lines[1].column, "JB01");
    EXPECT_EQ(lines[2].operation, operation::kDemo);
}

TEST_F(SafetyNetsTest, InitialisingLogsEveryRemovedProjectWithItsName) {
    const auto before = Everything();
    ASSERT_TRUE(InitialiseStore(records(), prompter_));
    for (const auto& row : before) {
        const auto lines = records().history().ForProject(row[kNumberColumn]);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].operation, operation::kInitialise);
        EXPECT_EQ(lines[0].old_value, row[2]);
    }
}

TEST(ChangeHistoryTable, OlderDatabasesGetTheTableOnFirstWrite) {
    testing::TempDir dir;
    {
        SqliteDatabase older(dir.path() / kDatabaseFileName);
        std::string sql = "CREATE TABLE kjxmzxqk (";
        for (const Column& c : Columns()) sql += (c.index ? ", \"" : "\"") + c.name + "\" TEXT";
        older.Execute(sql + ")");
        older.Execute("INSERT INTO kjxmzxqk (JB02, JB01) VALUES ('201300000001', '旧')");
    }
    Store store(dir.path());
    EXPECT_TRUE(store.records().history().ForProject("201300000001").empty());
    store.records().MoveFirst();
    store.records().SetValue("JB01", "新");
    store.records().WriteBack();
    const auto lines = store.records().history().ForProject("201300000001");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].old_value, "旧");
    EXPECT_TRUE(MissingColumns(store.database()).empty());
}

}  // namespace
}  // namespace zorbix::store

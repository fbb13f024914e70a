// End-to-end tests of the safety nets through the batch tool: automatic
// backups (one per command), backups, backup, restore and history.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

std::vector<std::string> Backups(const std::filesystem::path& dir) {
    return Lines(RunCli(dir, {"backups"}).out);
}

std::string Field(const std::string& line, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) start = line.find('\t', start) + 1;
    return line.substr(start, line.find('\t', start) - start);
}

// The first leaf page of the project table, found through SQLite's page
// statistics: damage there lets the store open and meets the first read.
long FirstTablePage(const std::filesystem::path& db_file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(db_file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* q = nullptr;
    long page = -1;
    if (sqlite3_prepare_v2(db,
                           "SELECT pageno FROM dbstat WHERE name='kjxmzxqk' AND pagetype='leaf' "
                           "ORDER BY pageno LIMIT 1",
                           -1, &q, nullptr) == SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW)
        page = sqlite3_column_int(q, 0);
    sqlite3_finalize(q);
    sqlite3_close(db);
    return page;
}

void Damage(const std::filesystem::path& file, long offset, std::size_t bytes) {
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(offset);
    out << std::string(bytes, '\xff');
}

bool HasDamagedFileAside(const std::filesystem::path& dir) {
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().starts_with("zorbix2013-已损坏-")) return true;
    return false;
}

class CliSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunCli(dir_.path(), {"demo", "20"}).status, 0);
        first_ = Field(Lines(RunCli(dir_.path(), {"list"}).out).at(0), 0);
    }
    TempDir dir_;
    std::string first_;
};

TEST_F(CliSafetyTest, AppendOfSeveralFilesMakesOneBackupThatRestoresTheStore) {
    TempDir other;
    ASSERT_EQ(RunCli(other.path(), {"demo", "5", "--seed", "9"}).status, 0);
    ASSERT_EQ(RunCli(other.path(), {"submit", (other / "a.kj").string()}).status, 0);
    ASSERT_EQ(RunCli(other.path(), {"demo", "5", "--seed", "10"}).status, 0);
    ASSERT_EQ(RunCli(other.path(), {"submit", (other / "b.kj").string()}).status, 0);
    const std::string before = RunCli(dir_.path(), {"list"}).out;

    const auto r =
        RunCli(dir_.path(), {"append", (other / "a.kj").string(), (other / "b.kj").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto backups = Backups(dir_.path());
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(Field(backups[0], 2), "追加数据");
    EXPECT_EQ(Field(backups[0], 3), "20");
    EXPECT_EQ(Lines(RunCli(dir_.path(), {"list"}).out).size(), 30u);

    EXPECT_EQ(RunCli(dir_.path(), {"restore", Field(backups[0], 0)}).status, 2) << "needs --yes";
    ASSERT_EQ(RunCli(dir_.path(), {"--yes", "restore", Field(backups[0], 0)}).status, 0);
    EXPECT_EQ(RunCli(dir_.path(), {"list"}).out, before);
    const auto after = Backups(dir_.path());
    ASSERT_EQ(after.size(), 2u) << "the restore backed up the store first";
    EXPECT_EQ(Field(after[0], 2), "恢复备份");
    EXPECT_EQ(Field(after[0], 3), "30");
}

TEST_F(CliSafetyTest, BackupOnRequestIsNotRepeatedForAnUnchangedStore) {
    EXPECT_EQ(RunCli(dir_.path(), {"backup"}).status, 0);
    const auto again = RunCli(dir_.path(), {"backup"});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.err.find("没有再次备份"), std::string::npos) << again.err;
    EXPECT_EQ(Backups(dir_.path()).size(), 1u);
}

TEST_F(CliSafetyTest, HistoryListsChangesNewestFirstWithEscapedValues) {
    ASSERT_EQ(RunCli(dir_.path(), {"set", first_, "JDCG=一\\r\\n二\\\\"}).status, 0);
    ASSERT_EQ(RunCli(dir_.path(), {"set", first_, "JB01=新名称"}).status, 0);
    const auto lines = Lines(RunCli(dir_.path(), {"history", first_}).out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Field(lines[0], 1), "命令行修改");
    EXPECT_EQ(Field(lines[0], 2), "JB01");
    EXPECT_EQ(Field(lines[0], 4), "新名称");
    EXPECT_EQ(Field(lines[1], 2), "JDCG");
    EXPECT_EQ(Field(lines[1], 4), "一\\r\\n二\\\\");
    EXPECT_EQ(Field(lines[2], 1), "示例项目");
    ASSERT_EQ(RunCli(dir_.path(), {"--yes", "delete", "--project", first_}).status, 0);
    const auto deleted = Lines(RunCli(dir_.path(), {"history", first_}).out);
    ASSERT_EQ(deleted.size(), 4u);
    EXPECT_EQ(Field(deleted[0], 1), "项目删除");
    EXPECT_EQ(Field(deleted[0], 3), "新名称");
}

TEST_F(CliSafetyTest, RestoreRefusesADamagedFileAndKeepsTheStore) {
    std::filesystem::create_directories(dir_ / "backup");
    const std::string name = "zorbix2013-20131205-143012-备份.db";
    { std::ofstream(dir_ / "backup" / name) << "SQLite format 3 but not really"; }
    const std::string before = RunCli(dir_.path(), {"list"}).out;
    const auto r = RunCli(dir_.path(), {"--yes", "restore", name});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("已损坏，或者不是本程序的数据库文件"), std::string::npos) << r.err;
    EXPECT_EQ(RunCli(dir_.path(), {"list"}).out, before);
    EXPECT_EQ(Field(Backups(dir_.path()).at(0), 3), "已损坏");
}

TEST_F(CliSafetyTest, DiffPrintsTheDifferingColumnsAndReplaceTakesThem) {
    const std::string file = (dir_ / "all.kj").string();
    ASSERT_EQ(RunCli(dir_.path(), {"submit", file}).status, 0);
    // A store that took the file in, then had two values of one project edited.
    TempDir store;
    ASSERT_EQ(RunCli(store.path(), {"append", file}).status, 0);
    ASSERT_EQ(RunCli(store.path(), {"set", first_, "JB01=本地名称", "JDCG=一\\r\\n"}).status, 0);
    const auto before = RunCli(store.path(), {"get", first_}).out;
    const auto backups_before = Backups(store.path()).size();

    const auto diff = RunCli(store.path(), {"append", "--diff", file});
    ASSERT_EQ(diff.status, 0) << diff.err;
    const auto lines = Lines(diff.out);
    ASSERT_EQ(lines.size(), 2u) << diff.out;
    EXPECT_EQ(Field(lines[0], 0), first_);
    EXPECT_EQ(Field(lines[0], 1), "JB01");
    EXPECT_EQ(Field(lines[0], 2), "本地名称");
    EXPECT_EQ(Field(lines[1], 1), "JDCG");
    EXPECT_EQ(Field(lines[1], 2), "一\\r\\n");
    EXPECT_NE(diff.err.find("19个与库中的数据相同，1个不同：" + first_), std::string::npos)
        << diff.err;
    EXPECT_EQ(RunCli(store.path(), {"get", first_}).out, before) << "--diff changes nothing";
    EXPECT_EQ(Backups(store.path()).size(), backups_before);

    EXPECT_EQ(RunCli(store.path(), {"append", "--replace", file}).status, 2) << "needs --yes";
    const auto replaced = RunCli(store.path(), {"--yes", "append", "--replace", file});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_NE(replaced.err.find("项目编号已存在！"), std::string::npos);
    EXPECT_TRUE(Lines(RunCli(store.path(), {"append", "--diff", file}).out).empty())
        << "every project now equals the file";
    const auto history = Lines(RunCli(store.path(), {"history", first_}).out);
    ASSERT_GE(history.size(), 2u);
    EXPECT_EQ(Field(history[0], 1), "采用新数据");
    EXPECT_EQ(Backups(store.path()).size(), backups_before + 1) << "one backup for the command";
}

TEST_F(CliSafetyTest, ADamagedStoreLeadsToItsBackupsAndIsRestoredFromThem) {
    if (OnPostgres()) GTEST_SKIP() << "damage of the SQLite file";
    ASSERT_EQ(RunCli(dir_.path(), {"backup"}).status, 0);
    const std::string before = RunCli(dir_.path(), {"list"}).out;
    const std::string name = Field(Backups(dir_.path()).at(0), 0);
    const auto file = dir_ / "zorbix2013.db";
    const long page = FirstTablePage(file);
    ASSERT_GT(page, 1);
    struct Case {
        const char* what;
        long offset;
        std::size_t bytes;
    };
    // A page inside the table, met by the first read; the file's header,
    // met at opening.
    for (const Case& c : {Case{"a page", (page - 1) * 4096, 8}, Case{"the header", 0, 100}}) {
        Damage(file, c.offset, c.bytes);
        const auto listed = RunCli(dir_.path(), {"get", first_, "JB01"});
        EXPECT_EQ(listed.status, 1) << c.what;
        for (const char* part : {"zorbix2013.db”", "损坏", "备份与恢复", "zorbix-cli backups",
                                 "zorbix-cli --yes restore"})
            EXPECT_NE(listed.err.find(part), std::string::npos) << c.what << ": " << listed.err;
        EXPECT_EQ(Field(Backups(dir_.path()).at(0), 0), name) << c.what;
        const auto restored = RunCli(dir_.path(), {"--yes", "restore", name});
        ASSERT_EQ(restored.status, 0) << c.what << ": " << restored.err;
        EXPECT_NE(restored.err.find("损坏的数据库已改名保留为"), std::string::npos) << restored.err;
        EXPECT_TRUE(HasDamagedFileAside(dir_.path())) << c.what;
        EXPECT_EQ(RunCli(dir_.path(), {"list"}).out, before) << c.what;
        EXPECT_EQ(Field(Lines(RunCli(dir_.path(), {"history", first_}).out).at(0), 1), "恢复备份");
    }
}

}  // namespace
}  // namespace zorbix::testing

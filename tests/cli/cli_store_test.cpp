// End-to-end tests of the batch tool's store commands on temporary program
// directories.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sstream>

#include "store/catalogue.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

TEST(CliStore, DemoThenListPrintsProjectsInOrder) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"demo", "500"}).status, 0);
    const auto lines = Lines(RunCli(dir.path(), {"list"}).out);
    ASSERT_EQ(lines.size(), 500u);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_LT(lines[i - 1], lines[i]);
    EXPECT_EQ(lines[0].find('\t'), 12u);
}

TEST(CliStore, SetThenGetRoundTripsEveryColumn) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"add", "201300000001"}).status, 0);
    std::vector<std::string> args = {"set", "201300000001"};
    std::vector<std::string> expected;
    for (const auto& c : store::Columns()) {
        if (c.name == "JB02") continue;
        // Line breaks only where the results text allows them (CR LF).
        const std::string breaks = c.name == "JDCG" ? "\\r\\n第二行" : "第二行";
        const std::string value = c.name + "值" + breaks + "\\\\" + (c.index % 2 ? "\"" : "");
        args.push_back(c.name + "=" + value);
    }
    const auto set = RunCli(dir.path(), args);
    ASSERT_EQ(set.status, 0) << set.err;
    const auto got = Lines(RunCli(dir.path(), {"get", "201300000001"}).out);
    ASSERT_EQ(got.size(), 137u);
    EXPECT_EQ(got[1], "JB02=201300000001");
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (i == 1) continue;
        EXPECT_EQ(got[i], args[i < 1 ? i + 2 : i + 1]) << i;
    }
}

TEST(CliStore, SetRefusesWhatTheOutputsCannotCarryAndWritesNothing) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"add", "201300000001"}).status, 0);
    const struct {
        const char* assignment;
        const char* fault;
    } cases[] = {
        {"JB01=a\\tb", "JB01（"},
        {"JB01=a\\r\\nb", "U+000D"},
        {"JDCG=a\\nb", "换行必须是回车加换行"},
        {"JB01=😀", "GBK编码中没有的字符"},
        {"ZGDW=\x01", "U+0001"},
    };
    for (const auto& c : cases) {
        const auto set = RunCli(dir.path(), {"set", "201300000001", "JB03=改了", c.assignment});
        EXPECT_EQ(set.status, 1) << c.assignment;
        EXPECT_NE(set.err.find("项目“201300000001”的"), std::string::npos) << set.err;
        EXPECT_NE(set.err.find(c.fault), std::string::npos) << set.err;
        EXPECT_NE(set.err.find("没有写入任何值"), std::string::npos) << set.err;
        EXPECT_EQ(RunCli(dir.path(), {"get", "201300000001", "JB03"}).out, "JB03=\n")
            << "nothing of the command is written";
    }
}

TEST(CliStore, GetNamedColumnsAndUnknownColumns) {
    TempDir dir;
    RunCli(dir.path(), {"add", "201300000001"});
    RunCli(dir.path(), {"set", "201300000001", "JB01=中文名称"});
    EXPECT_EQ(RunCli(dir.path(), {"get", "201300000001", "JB01", "XH"}).out,
              "JB01=中文名称\nXH=\n");
    EXPECT_EQ(RunCli(dir.path(), {"get", "201300000001", "NOPE"}).status, 2);
    EXPECT_EQ(RunCli(dir.path(), {"set", "201300000001", "NOPE=1"}).status, 2);
}

TEST(CliStore, AddShowsTheWindowsMessages) {
    TempDir dir;
    RunCli(dir.path(), {"add", "201300000001"});
    const auto dup = RunCli(dir.path(), {"add", "0201300000001"});
    EXPECT_EQ(dup.status, 1);
    EXPECT_EQ(dup.err, "Qorvath省科技计划项目执行情况年度调查: 项目编号格式错误。\n");
    const auto again = RunCli(dir.path(), {"add", "201300000001"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "Qorvath省科技计划项目执行情况年度调查: 项目编号已存在，请核对。\n");
}

TEST(CliStore, QuestionsNeedYes) {
    TempDir dir;
    RunCli(dir.path(), {"demo", "3"});
    const auto refused = RunCli(dir.path(), {"init"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--yes"), std::string::npos);
    EXPECT_EQ(Lines(RunCli(dir.path(), {"list"}).out).size(), 3u);
    EXPECT_EQ(RunCli(dir.path(), {"--yes", "init"}).status, 0);
    EXPECT_EQ(RunCli(dir.path(), {"list"}).out, "");
}

TEST(CliStore, DeleteLocatesFirst) {
    TempDir dir;
    RunCli(dir.path(), {"add", "201300000001"});
    RunCli(dir.path(), {"add", "201300000002"});
    const auto missing = RunCli(dir.path(), {"--yes", "delete", "--project", "201300000009"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("未找到要定位的项目"), std::string::npos);
    EXPECT_EQ(RunCli(dir.path(), {"--yes", "delete", "--project", "201300000001"}).status, 0);
    EXPECT_EQ(RunCli(dir.path(), {"list"}).out, "201300000002\t\n");
}

TEST(CliStore, ATextWithoutADigitLocatesOnlyItself) {
    TempDir dir;
    RunCli(dir.path(), {"add", "ABCDEFGHIJKL"});
    RunCli(dir.path(), {"add", "201300000002"});
    const std::string list = RunCli(dir.path(), {"list"}).out;
    for (const char* wanted : {"nothing-like-this", "../x", "ABCDEFGHIJK"}) {
        const auto r = RunCli(dir.path(), {"--yes", "delete", "--project", wanted});
        EXPECT_EQ(r.status, 1) << wanted;
        EXPECT_NE(r.err.find("未找到要定位的项目"), std::string::npos) << r.err;
        EXPECT_EQ(RunCli(dir.path(), {"get", wanted, "JB02"}).status, 1) << wanted;
    }
    EXPECT_EQ(RunCli(dir.path(), {"list"}).out, list);
    EXPECT_EQ(RunCli(dir.path(), {"get", " ABCDEFGHIJKL ", "JB02"}).out, "JB02=ABCDEFGHIJKL\n");
    EXPECT_EQ(RunCli(dir.path(), {"--yes", "delete", "--project", "ABCDEFGHIJKL"}).status, 0);
    EXPECT_EQ(RunCli(dir.path(), {"list"}).out, "201300000002\t\n");
}

TEST(CliStore, AForeignDatabaseIsRefusedAndKept) {
    if (OnPostgres()) GTEST_SKIP() << "a foreign or damaged SQLite file";
    TempDir dir;
    const auto file = dir / "zorbix2013.db";
    sqlite3* foreign = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &foreign), SQLITE_OK);
    sqlite3_exec(foreign, "CREATE TABLE accounts (name TEXT); INSERT INTO accounts VALUES ('x')",
                 nullptr, nullptr, nullptr);
    sqlite3_close(foreign);
    const std::string before = Slurp(file);
    ASSERT_FALSE(before.empty());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list"}, {"demo", "3"}, {"summarize"}}) {
        const auto r = RunCli(dir.path(), args);
        EXPECT_EQ(r.status, 1) << args.front();
        EXPECT_NE(r.err.find("“" + file.string() + "”不是本程序的数据库文件"), std::string::npos)
            << r.err;
        EXPECT_EQ(Slurp(file), before) << args.front();
    }
}

TEST(CliStore, AnEmptyFileBecomesTheStore) {
    TempDir dir;
    { std::ofstream(dir / "zorbix2013.db"); }
    EXPECT_EQ(RunCli(dir.path(), {"demo", "2"}).status, 0);
    EXPECT_EQ(Lines(RunCli(dir.path(), {"list"}).out).size(), 2u);
}

TEST(CliStore, BadUsageExitsTwo) {
    TempDir dir;
    EXPECT_EQ(RunCli(dir.path(), {}).status, 2);
    EXPECT_EQ(RunCli(dir.path(), {"frobnicate"}).status, 2);
    EXPECT_EQ(RunCli(dir.path(), {"demo", "x"}).status, 2);
    EXPECT_EQ(RunCli(dir.path(), {"list", "extra"}).status, 2);
}

TEST(CliStore, ADamagedDatabaseIsNamedAndKept) {
    if (OnPostgres()) GTEST_SKIP() << "a foreign or damaged SQLite file";
    TempDir dir;
    { std::ofstream(dir / "zorbix2013.db") << std::string(4096, 'z'); }
    const auto r = RunCli(dir.path(), {"list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((dir / "zorbix2013.db").string()), std::string::npos) << r.err;
    EXPECT_EQ(Slurp(dir / "zorbix2013.db"), std::string(4096, 'z'));
}

}  // namespace
}  // namespace zorbix::testing

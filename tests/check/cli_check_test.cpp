// End-to-end: zorbix-cli check over a store whose every project has
// findings, for all projects, one project and with --save.
#include <gtest/gtest.h>

#include <sstream>

#include "base/gbk.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

// The panel as the window holds it: every line end CR LF.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

constexpr const char* kDone = "科技项目统计: 审核完成，请在数据审核结果框内查看结果。\n";

// Three empty projects added out of order (17 findings each: the number
// passes); the second also off in table two.
class CliCheck : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* number : {"201300000030", "201300000010", "201300000020"})
            ASSERT_EQ(RunCli(dir_.path(), {"add", number}).status, 0);
        ASSERT_EQ(RunCli(dir_.path(), {"set", "201300000020", "JF2002=7"}).status, 0);
    }
    TempDir dir_;
};

TEST_F(CliCheck, AllProjectsGroupedInStoreOrder) {
    const auto r = RunCli(dir_.path(), {"check"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, kDone);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u + 17u * 3 + 1u);
    EXPECT_EQ(lines[0], " 审核结果");
    EXPECT_EQ(lines[1], "项目201300000010 表一 JH41项目参加人员漏填！");
    EXPECT_EQ(lines[17], "项目201300000010 封面 JH01项目名称填写有误！");
    EXPECT_EQ(lines[18], "项目201300000020 表一 JH41项目参加人员漏填！");
    EXPECT_EQ(lines[35], "项目201300000020 表二 JF400 = JF100-JF200，当年数有误！");
    EXPECT_EQ(lines[36], "项目201300000030 表一 JH41项目参加人员漏填！");
    // Each project's lines stand together, the groups in number order.
    std::vector<std::string> groups;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string number = lines[i].substr(6, 12);
        if (groups.empty() || groups.back() != number) groups.push_back(number);
    }
    EXPECT_EQ(groups, (std::vector<std::string>{"201300000010", "201300000020", "201300000030"}));
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST_F(CliCheck, OneProjectAndSaveAsTheWindowDoes) {
    const auto file = dir_ / "结果.Txt";
    const auto r =
        RunCli(dir_.path(), {"check", "--project", "201300000020", "--save", file.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[0], "项目201300000020 审核结果");
    EXPECT_EQ(lines[18], "项目201300000020 表二 JF400 = JF100-JF200，当年数有误！");
    EXPECT_EQ(Slurp(file), base::ToGbk(WithCrLf(r.out) + "\r\n"));
    EXPECT_EQ(r.err, "Qorvath省科技统计: 审核结果已保存在" + file.string() + "中。\n");
}

TEST_F(CliCheck, SavingAllProjectsWritesThePrintedPanel) {
    const auto file = dir_ / "all.Txt";
    const auto r = RunCli(dir_.path(), {"check", "--save", file.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Slurp(file), base::ToGbk(WithCrLf(r.out) + "\r\n"));
}

TEST_F(CliCheck, FailuresAndBadUsage) {
    const auto unknown = RunCli(dir_.path(), {"check", "--project", "201399999999"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("未找到要定位的项目！"), std::string::npos);
    EXPECT_EQ(unknown.out, "");

    const auto unwritable =
        RunCli(dir_.path(), {"check", "--save", (dir_ / "no" / "r.Txt").string()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("审核结果未能保存："), std::string::npos);
    EXPECT_EQ(Lines(unwritable.out).size(), 53u);

    EXPECT_EQ(RunCli(dir_.path(), {"check", "extra"}).status, 2);
    EXPECT_EQ(RunCli(dir_.path(), {"check", "--project"}).status, 2);
}

TEST(CliCheckEmpty, AnEmptyStorePrintsTheHeading) {
    TempDir dir;
    const auto r = RunCli(dir.path(), {"check"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, " 审核结果\n");
    EXPECT_EQ(r.err, kDone);
}

}  // namespace
}  // namespace zorbix::testing

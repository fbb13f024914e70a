// `zorbix-cli reconcile` end to end: the panel text on standard output with
// LF line ends, and exit status 1 with the message when there is no plan.
#include <gtest/gtest.h>

#include "tests/office/test_workbooks.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

TEST(CliReconcile, PrintsThePanelText) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"add", "201300000001"}).status, 0);
    ASSERT_EQ(RunCli(dir.path(), {"add", "201300000003"}).status, 0);
    ASSERT_EQ(RunCli(dir.path(), {"set", "201300000001", "JB01=甲项目", "XMCDDW=甲单位",
                                  "ZGDW=甲主管", "JF1102=200"})
                  .status,
              0);
    ASSERT_EQ(
        RunCli(dir.path(), {"set", "201300000003", "JB01=丙项目", "XMCDDW=丙单位", "ZGDW=丙主管"})
            .status,
        0);
    WriteTestXlsx(
        dir / "2013计划.xlsx",
        {{std::string("序号"), std::string("项目编号")},
         {1.0, 201300000001.0, std::string("甲"), std::string("A"), std::string("B"), 20.0},
         {2.0, 201300000002.0, std::string("乙"), std::string("C"), std::string("D"), 3.0}});
    const auto r = RunCli(dir.path(), {"reconcile"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "项目上报情况核对结果\n项目总数：2，上报项目数：2\n以下是漏报或错报项目\n"
              "===========================================\n"
              "1 漏报 201300000002 乙 C D\n"
              "2 错报 201300000003 丙项目 丙单位 丙主管\n");
    EXPECT_EQ(r.err, "科技项目统计: 项目上报情况核对完成，请在数据审核结果框内查看结果。\n");
}

TEST(CliReconcile, NoPlanWorkbookFailsWithItsMessage) {
    TempDir dir;
    const auto r = RunCli(dir.path(), {"reconcile"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("科技项目统计: 找不到计划文件“2013计划.xlsx”", 0), 0u) << r.err;
    EXPECT_EQ(RunCli(dir.path(), {"reconcile", "extra"}).status, 2);
}

}  // namespace
}  // namespace zorbix::testing

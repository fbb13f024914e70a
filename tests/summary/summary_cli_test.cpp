// zorbix-cli summarize: the twelve workbooks into the program directory and
// an exit status that tells a failure from a finished run.
#include <gtest/gtest.h>

#include "tests/summary/summary_test_support.h"
#include "tests/support/cli_runner.h"

namespace zorbix::testing {
namespace {

TEST(SummaryCli, SummarizeWritesTheWorkbooksBesideTheTemplates) {
    SmallStore store;
    store.CopyTemplates();
    store.Close();
    ASSERT_EQ(RunCli(store.dir(), {"demo", "50"}).status, 0);
    const auto run = RunCli(store.dir(), {"summarize"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "科技项目统计: 汇总完成。\n");
    for (const auto& s : summary::Summaries())
        EXPECT_TRUE(std::filesystem::exists(store.dir() / summary::OutputFileName(s))) << s.name;
    EXPECT_EQ(RunCli(store.dir(), {"summarize", "extra"}).status, 2);
}

TEST(SummaryCli, AMissingTemplateFailsWithItsName) {
    SmallStore store;
    store.CopyTemplates();
    store.Close();
    std::filesystem::remove(store.dir() / "专利情况.xlsx");
    const auto run = RunCli(store.dir(), {"summarize"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("汇总表“专利情况_2013.xlsx”没有写出"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("以下汇总表没有写出：\n专利情况_2013.xlsx"), std::string::npos)
        << run.err;
}

}  // namespace
}  // namespace zorbix::testing

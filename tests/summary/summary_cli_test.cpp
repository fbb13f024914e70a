// zorbix-cli summarize: the twelve workbooks into the program directory and
// an exit status that tells a failure from a finished run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

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

// A reader that does not compute (openpyxl with data_only) sees a number in
// every formula cell of every workbook.
TEST(SummaryCli, EveryTotalHasAValueForReadersThatDoNotCompute) {
    if (std::system("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null") != 0)
        GTEST_SKIP() << "no python3-openpyxl";
    SmallStore store;
    store.CopyTemplates();
    store.Close();
    ASSERT_EQ(RunCli(store.dir(), {"demo", "2000"}).status, 0);
    ASSERT_EQ(RunCli(store.dir(), {"summarize"}).status, 0);
    std::ofstream(store.dir() / "totals.py")
        << "import glob, sys, openpyxl\n"
           "formulas = missing = 0\n"
           "for name in sorted(glob.glob(sys.argv[1] + '/*_2013.xlsx')):\n"
           "    text = openpyxl.load_workbook(name).worksheets[0]\n"
           "    cached = openpyxl.load_workbook(name, data_only=True).worksheets[0]\n"
           "    for row in text.iter_rows():\n"
           "        for cell in row:\n"
           "            if isinstance(cell.value, str) and cell.value.startswith('='):\n"
           "                formulas += 1\n"
           "                value = cached[cell.coordinate].value\n"
           "                if not isinstance(value, (int, float)):\n"
           "                    missing += 1\n"
           "                    print(name, cell.coordinate, value)\n"
           "print(formulas, missing)\n";
    const std::string command = "/usr/bin/python3 " +
                                ShellQuote((store.dir() / "totals.py").string()) + " " +
                                ShellQuote(store.dir().string()) + " > " +
                                ShellQuote((store.dir() / "totals.txt").string());
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string out = Slurp(store.dir() / "totals.txt");
    int formulas = 0, missing = -1;
    std::sscanf(out.substr(out.rfind('\n', out.size() - 2) + 1).c_str(), "%d %d", &formulas,
                &missing);
    EXPECT_GT(formulas, 12 * 5) << out;
    EXPECT_EQ(missing, 0) << out;
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

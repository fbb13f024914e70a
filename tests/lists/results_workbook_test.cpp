// The result panel saved as a workbook (check --save FILE.xlsx, reconcile
// --save FILE.xlsx): one row per finding with its parts in columns; the
// text file stays as it was for other names, and no save replaces one of
// the program's own files.
#include <gtest/gtest.h>

#include "base/gbk.h"
#include "office/sheet_reader.h"
#include "tests/office/test_workbooks.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

class ResultsWorkbook : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunCli(dir_.path(), {"add", "201300000001"}).status, 0);
        ASSERT_EQ(RunCli(dir_.path(), {"add", "201300000003"}).status, 0);
        ASSERT_EQ(RunCli(dir_.path(), {"set", "201300000001", "JB01=甲项目", "XMCDDW=甲单位",
                                       "ZGDW=甲主管", "JF1102=200", "JF2002=7"})
                      .status,
                  0);
        ASSERT_EQ(RunCli(dir_.path(), {"set", "201300000003", "JB01=丙项目", "XMCDDW=丙单位",
                                       "ZGDW=丙主管", "JF1102=35"})
                      .status,
                  0);
        WriteTestXlsx(
            dir_ / "2013计划.xlsx",
            {{std::string("序号"), std::string("项目编号")},
             {1.0, 201300000001.0, std::string("甲"), std::string("A"), std::string("B"), 20.0},
             {2.0, 201300000002.0, std::string("乙"), std::string("C"), std::string("D"), 3.0},
             {3.0, 201300000003.0, std::string("丙"), std::string("E"), std::string("F"), 4.0}});
    }
    TempDir dir_;
};

TEST_F(ResultsWorkbook, ReconciliationSideBySide) {
    const auto file = dir_ / "核对.xlsx";
    const auto r = RunCli(dir_.path(), {"reconcile", "--save", file.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const office::Sheet sheet = office::ReadFirstSheet(file);
    EXPECT_EQ(sheet.At(1, 2).text, "类别");
    ASSERT_EQ(sheet.LastRow(), 3);
    EXPECT_EQ(sheet.At(2, 2).text, "漏报");
    EXPECT_EQ(sheet.At(2, 3).text, "201300000002");
    EXPECT_EQ(sheet.At(2, 4).text, "乙");
    EXPECT_EQ(sheet.At(2, 10).number, 3.0);
    EXPECT_TRUE(sheet.At(2, 7).IsEmpty());
    EXPECT_EQ(sheet.At(3, 2).text, "金额错误");
    EXPECT_EQ(sheet.At(3, 7).text, "丙项目");
    EXPECT_EQ(sheet.At(3, 9).text, "丙主管");
    EXPECT_EQ(sheet.At(3, 10).number, 4.0);
    EXPECT_EQ(sheet.At(3, 11).kind, office::Cell::Kind::Number);
    EXPECT_EQ(sheet.At(3, 11).number, 3.5);
    EXPECT_NE(r.err.find("审核结果已保存在"), std::string::npos);
}

TEST_F(ResultsWorkbook, ReconciliationTextFileAsTheCheckSavesIt) {
    const auto file = dir_ / "核对.txt";
    const auto r = RunCli(dir_.path(), {"reconcile", "--save", file.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = base::FromGbk(Slurp(file));
    EXPECT_TRUE(text.starts_with("项目上报情况核对结果\r\n")) << text;
    EXPECT_NE(text.find("2 金额错误201300000003 丙项目 丙单位\r\n"), std::string::npos) << text;
    EXPECT_EQ(RunCli(dir_.path(), {"reconcile", "--save"}).status, 2);
}

TEST_F(ResultsWorkbook, CheckFindingsOneRowEach) {
    const auto file = dir_ / "审核.xlsx";
    const auto r = RunCli(dir_.path(), {"check", "--save", file.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const office::Sheet sheet = office::ReadFirstSheet(file);
    EXPECT_EQ(sheet.At(1, 6).text, "审核结果");
    const auto lines = Lines(r.out);
    ASSERT_EQ(sheet.LastRow(), static_cast<int>(lines.size()));  // a heading each
    bool balance = false;
    for (int row = 2; row <= sheet.LastRow(); ++row) {
        EXPECT_EQ(sheet.At(row, 6).text, lines[row - 1]);
        if (sheet.At(row, 6).text == "项目201300000001 表二 JF400 = JF100-JF200，当年数有误！") {
            balance = true;
            EXPECT_EQ(sheet.At(row, 1).text, "201300000001");
            EXPECT_EQ(sheet.At(row, 2).text, "甲项目");
            EXPECT_EQ(sheet.At(row, 3).text, "表二、项目资金落实及支出情况");
            EXPECT_FALSE(sheet.At(row, 4).IsEmpty());
        }
    }
    EXPECT_TRUE(balance);
    // The text file is what it was.
    const auto txt = dir_ / "审核.txt";
    ASSERT_EQ(RunCli(dir_.path(), {"check", "--save", txt.string()}).status, 0);
    EXPECT_EQ(base::FromGbk(Slurp(txt)), [&] {
        std::string panel;
        for (const auto& l : lines) panel += l + "\r\n";
        return panel + "\r\n";
    }());
}

TEST_F(ResultsWorkbook, NeverReplacesTheProgramsOwnFiles) {
    const std::string plan = Slurp(dir_ / "2013计划.xlsx");
    const auto r = RunCli(dir_.path(), {"reconcile", "--save", (dir_ / "2013计划.xlsx").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("计划文件"), std::string::npos) << r.err;
    EXPECT_EQ(Slurp(dir_ / "2013计划.xlsx"), plan);
    EXPECT_EQ(RunCli(dir_.path(), {"export", (dir_ / "2013计划.xlsx").string()}).status, 1);
    EXPECT_EQ(Slurp(dir_ / "2013计划.xlsx"), plan);
}

}  // namespace
}  // namespace zorbix::testing

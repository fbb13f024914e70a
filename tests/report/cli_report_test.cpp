// The batch tool's report and print commands.
#include <gtest/gtest.h>

#include "office/docx_bookmarks.h"
#include "report/report_files.h"
#include "store/sqlite_db.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;

class CliReport : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(fs::u8path(ZORBIX_REPORT_TEMPLATE), report::TemplatePath(dir.path()));
    }
    TempDir dir;
};

TEST_F(CliReport, ReportOfOneProject) {
    ASSERT_EQ(RunCli(dir.path(), {"add", "201300000001"}).status, 0);
    ASSERT_EQ(
        RunCli(dir.path(), {"set", "201300000001", "JB01=测试项目", "JB27=1.基础研究"}).status, 0);
    const auto r = RunCli(dir.path(), {"report", "--project", "201300000001"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.err,
        "Qorvath省科技统计: 报表已生成，文件名为：201300000001.docx，报表格式可能需要调整。\n");
    const auto texts = office::ReadDocxBookmarks(dir / "201300000001.docx");
    EXPECT_EQ(texts.at("JB01"), "测试项目");
    EXPECT_EQ(texts.at("JB27"), "1");
}

// A store of an older version may hold what no way in takes any more; the
// report is still a document every reader opens.
TEST_F(CliReport, AReportOfValuesNoWayInTakesIsStillADocument) {
    if (OnPostgres()) GTEST_SKIP() << "PostgreSQL holds no text that is not UTF-8";
    ASSERT_EQ(RunCli(dir.path(), {"add", "201300000001"}).status, 0);
    {
        store::SqliteDatabase db(dir / "zorbix2013.db");
        db.Execute("UPDATE kjxmzxqk SET JB01=CAST(X'41FF42' AS TEXT), JB03='a'||char(1)||'b'");
    }
    const auto r = RunCli(dir.path(), {"report", "--project", "201300000001"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto texts = office::ReadDocxBookmarks(dir / "201300000001.docx");
    EXPECT_EQ(texts.at("JB01"), "A?B");
    EXPECT_EQ(texts.at("JB03"), "a b");
}

TEST_F(CliReport, AllReportsNeedYes) {
    ASSERT_EQ(RunCli(dir.path(), {"demo", "3"}).status, 0);
    EXPECT_EQ(RunCli(dir.path(), {"report"}).status, 2);
    const auto r = RunCli(dir.path(), {"--yes", "report"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Qorvath省科技统计: 报表已全部生成，格式可能需要调整。"),
              std::string::npos)
        << r.err;
    int reports = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
        reports += e.path().extension() == ".docx" &&
                   e.path().filename() != report::TemplatePath(dir.path()).filename();
    EXPECT_EQ(reports, 3);
}

TEST_F(CliReport, MissingTemplateAndUnknownProjectFail) {
    ASSERT_EQ(RunCli(dir.path(), {"add", "201300000001"}).status, 0);
    EXPECT_EQ(RunCli(dir.path(), {"report", "--project", "209900000000"}).status, 1);
    fs::remove(report::TemplatePath(dir.path()));
    const auto r = RunCli(dir.path(), {"report", "--project", "201300000001"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Qorvath省科技计划项目执行情况年度调查: "
              "未找到报表模板文件！请将报表模板文件“xxxx模板.Doc”复制到安装目录。\n");
}

TEST_F(CliReport, PrintNeedsAProjectAndASavedReport) {
    ASSERT_EQ(RunCli(dir.path(), {"add", "201300000001"}).status, 0);
    EXPECT_EQ(RunCli(dir.path(), {"print"}).status, 2);
    const auto r = RunCli(dir.path(), {"print", "--project", "201300000001"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Qorvath省科技统计: 报表文件没有找到，请重新生成报表文件。\n");
}

}  // namespace
}  // namespace zorbix::testing

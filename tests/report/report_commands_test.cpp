// Generating reports for the current record and for all records, with the
// survey's messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "office/docx_bookmarks.h"
#include "office/xml_part.h"
#include "office/zip_archive.h"
#include "report/help_entry.h"
#include "report/project_report.h"
#include "report/report_files.h"
#include "report/report_messages.h"
#include "report/report_placements.h"
#include "tests/report/report_fixture.h"
#include "tests/support/cli_runner.h"

namespace zorbix::report {
namespace {

using store::ColumnIndex;

class ReportCommands : public ReportFixture {};

TEST_F(ReportCommands, ReportOfTheCurrentRecordHoldsEveryPlacementsText) {
    AddDemo("201300000007");
    records().SetValue("JB01", "含<特殊>&\"字符\"的项目");  // pending, not yet written
    records().SetValue("JDCG", "第一行\r\n第二行");
    ASSERT_TRUE(CommandReport(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Qorvath省科技统计");
    EXPECT_EQ(prompter.messages[0].text,
              "报表已生成，文件名为：201300000007.docx，报表格式可能需要调整。");
    EXPECT_EQ(prompter.busy_begun, 1);
    EXPECT_EQ(prompter.busy_ended, 1);

    const auto filled = office::ReadDocxBookmarks(dir / "201300000007.docx");
    for (const auto& expected : ReportTexts(records().Current())) {
        std::string text = expected.text;
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
            text.replace(at, 2, "\n");
        EXPECT_EQ(filled.at(expected.name), text) << expected.name;
    }
    EXPECT_EQ(filled.at("JB01"), "含<特殊>&\"字符\"的项目");
    EXPECT_EQ(filled.at("JDCG"), "第一行\n第二行");
    EXPECT_EQ(filled.at("TBSJ_1"), "2013");
    EXPECT_EQ(filled.size(), 136u);
}

TEST_F(ReportCommands, GeneratingTwiceReplacesTheReportAndKeepsTheTemplate) {
    AddDemo("201300000007");
    const std::string before = testing::Slurp(TemplatePath(dir.path()));
    ASSERT_TRUE(CommandReport(records(), prompter, dir.path()));
    records().SetValue("JB01", "改过的名称");
    ASSERT_TRUE(CommandReport(records(), prompter, dir.path()));
    EXPECT_EQ(office::ReadDocxBookmarks(dir / "201300000007.docx").at("JB01"), "改过的名称");
    EXPECT_EQ(testing::Slurp(TemplatePath(dir.path())), before);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(ReportCommands, WithoutTemplateTheCommandRefusesAndWritesNothing) {
    AddDemo("201300000007");
    std::filesystem::remove(TemplatePath(dir.path()));
    EXPECT_FALSE(CommandReport(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Qorvath省科技计划项目执行情况年度调查");
    EXPECT_EQ(prompter.messages[0].text,
              "未找到报表模板文件！请将报表模板文件“xxxx模板.Doc”复制到安装目录。");
    EXPECT_EQ(prompter.busy_begun, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "201300000007.docx"));
}

TEST_F(ReportCommands, ATemplateWithoutOneBookmarkFailsNamingIt) {
    AddDemo("201300000007");
    const auto original = dir / "original.docx";
    std::filesystem::rename(TemplatePath(dir.path()), original);
    {
        office::ZipArchive source(original);
        std::string xml = source.Read("word/document.xml");
        const auto at = xml.find("w:name=\"JB05\"");
        ASSERT_NE(at, std::string::npos);
        xml.replace(at, 13, "w:name=\"JB5X\"");
        office::WriteZipCopy(source, TemplatePath(dir.path()), {{"word/document.xml", xml}});
    }
    EXPECT_FALSE(CommandReport(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "报表生成失败！请关闭所有Word文件，重新启动系统后重试。\n"
              "项目“201300000007”：报表模板中缺少书签“JB05”。");
    EXPECT_FALSE(std::filesystem::exists(dir / "201300000007.docx"));
}

TEST_F(ReportCommands, AnUnsafeProjectNumberIsRefusedAndNothingLeavesTheFolder) {
    for (const std::string number : {"../../evil01", "a/b", "", "12:34"}) {
        AddDemo("201300000001");
        records().SetValue("JB02", number);
        prompter.messages.clear();
        EXPECT_FALSE(CommandReport(records(), prompter, dir.path())) << number;
        ASSERT_EQ(prompter.messages.size(), 1u) << number;
        EXPECT_EQ(prompter.messages[0].text.rfind("报表生成失败！", 0), 0u) << number;
        EXPECT_NE(prompter.messages[0].text.find("文件名"), std::string::npos)
            << prompter.messages[0].text;
        records().Delete();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path().parent_path() / "evil01.docx"));
}

TEST_F(ReportCommands, AllReportsAskFirstAndCancelChangesNothing) {
    AddDemo("201300000001");
    AddDemo("201300000002");
    records().Reopen();
    prompter.answer_ok = false;
    EXPECT_FALSE(CommandReports(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "生成全部项目报表需要较长时间，要继续吗？");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Question);
    EXPECT_EQ(prompter.messages[0].buttons, base::Buttons::OkCancel);
    EXPECT_FALSE(std::filesystem::exists(dir / "201300000001.docx"));
}

TEST_F(ReportCommands, AllReportsInStoreOrderEndPastTheLastRecord) {
    store::AddDemoProjects(records(), 5, 3);
    records().Reopen();
    ASSERT_TRUE(CommandReports(records(), prompter, dir.path()));
    EXPECT_TRUE(records().AtEnd());
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].title, "Qorvath省科技统计");
    EXPECT_EQ(prompter.messages[1].text, "报表已全部生成，格式可能需要调整。");
    for (const auto& number : records().ColumnValues(ColumnIndex("JB02")))
        EXPECT_EQ(office::ReadDocxBookmarks(dir / (number + ".docx")).at("JB02"), number);
}

TEST_F(ReportCommands, AllReportsGoOnPastAFailingRecordAndSaySoAtTheEnd) {
    AddDemo("201300000001");
    AddDemo("2013/0000002");
    AddDemo("201300000003");
    records().Reopen();
    EXPECT_FALSE(CommandReports(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_NE(prompter.messages[1].text.find("2013/0000002"), std::string::npos);
    EXPECT_EQ(prompter.messages[2].text,
              "共3个项目，其中1个项目的报表生成失败，其余报表已生成，格式可能需要调整。");
    EXPECT_TRUE(std::filesystem::exists(dir / "201300000001.docx"));
    EXPECT_TRUE(std::filesystem::exists(dir / "201300000003.docx"));
}

TEST_F(ReportCommands, AllReportsWithoutTemplateShowTheTemplateMessagePerRecord) {
    AddDemo("201300000001");
    AddDemo("201300000002");
    records().Reopen();
    std::filesystem::remove(TemplatePath(dir.path()));
    EXPECT_FALSE(CommandReports(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 4u);
    for (int i : {1, 2})
        EXPECT_EQ(prompter.messages[i].text,
                  "报表生成失败！请将报表模板文件“xxxx模板.Doc”复制到安装目录。");
}

TEST_F(ReportCommands, AllReportsOfAnEmptyStoreAskNothing) {
    EXPECT_FALSE(CommandReports(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "数据库中没有项目，没有生成报表。");
}

TEST_F(ReportCommands, HelpGivesTheDocumentOrItsMessage) {
    EXPECT_FALSE(MenuHelpView(prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "帮助文件打开失败！请重新启动系统后重试。");
    EXPECT_EQ(prompter.messages[0].title, "Qorvath省科技计划项目执行情况年度调查");
    std::filesystem::copy_file(std::filesystem::u8path(ZORBIX_HELP_DOCUMENT),
                               HelpDocumentPath(dir.path()));
    EXPECT_EQ(MenuHelpView(prompter, dir.path()), HelpDocumentPath(dir.path()));
    EXPECT_EQ(prompter.messages.size(), 1u);
}

// The office reads the help document to learn what its plan workbook must
// look like and what each line of the reconciliation means.
TEST(HelpDocument, ExplainsThePlanWorkbookAndTheReconciliationLines) {
    const office::ZipArchive help(std::filesystem::u8path(ZORBIX_HELP_DOCUMENT));
    const std::string text = help.Read("word/document.xml");
    for (const char* phrase : {"2013计划.xlsx", "2013计划.xls”", "第1行为标题行", "第2列为项目编号",
                               "第3、4、5列", "第6列为计划的省科技拨款金额，单位为万元", "除以10",
                               "“漏报”", "“错报”", "“金额错误”", "只有标题行"})
        EXPECT_NE(text.find(phrase), std::string::npos) << phrase;
}

// The help inside the program reads the document's text, and the same help
// lies beside it as a web page that any browser opens.
TEST(HelpDocument, ReadsAsParagraphsAndLiesBesideAsAWebPage) {
    const auto document = std::filesystem::u8path(ZORBIX_HELP_DOCUMENT);
    const auto paragraphs = HelpParagraphs(document);
    ASSERT_GE(paragraphs.size(), 20u);
    EXPECT_EQ(paragraphs[0], "Qorvath省科技计划项目执行情况年度调查系统");
    EXPECT_NE(std::find(paragraphs.begin(), paragraphs.end(), "一、系统简介"), paragraphs.end());
    EXPECT_NE(std::find(paragraphs.begin(), paragraphs.end(), "九、常见问题"), paragraphs.end());
    std::ifstream in(HelpPagePath(document.parent_path()), std::ios::binary);
    ASSERT_TRUE(in) << "no help page beside the document";
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
    for (const std::string& p : paragraphs)
        EXPECT_NE(page.find(p), std::string::npos) << "the page lacks: " << p;
}

}  // namespace
}  // namespace zorbix::report

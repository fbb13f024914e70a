// Saving the result panel: the file's bytes, the dialog, the messages, and
// the failures that keep the panel and tell why.
#include "check/check_report_file.h"

#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "base/gbk.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::check {
namespace {

using testing::RecordingPrompter;
using testing::Slurp;

class SaveReport : public ::testing::Test {
protected:
    testing::TempDir dir_;
    RecordingPrompter prompter_;
};

TEST_F(SaveReport, WritesGbkWithCrLfAndOneMoreLineEnd) {
    const std::string panel = " 审核结果\r\n项目201300000001 表一 JH24邮政编码填写有误！\r\n";
    const auto file = dir_ / "结果.Txt";
    prompter_.files.push_back(file);
    EXPECT_TRUE(SaveCheckReport(prompter_, panel));
    EXPECT_EQ(Slurp(file), base::ToGbk(panel + "\r\n"));
    ASSERT_EQ(prompter_.dialogs.size(), 1u);
    EXPECT_EQ(prompter_.dialogs[0].title, "保存审核结果");
    EXPECT_EQ(prompter_.dialogs[0].filter, "Txt|*.Txt");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].title, "Qorvath省科技统计");
    EXPECT_EQ(prompter_.messages[0].text, "审核结果已保存在" + file.string() + "中。");
    EXPECT_EQ(prompter_.messages[0].icon, base::Icon::Information);
}

TEST_F(SaveReport, LineEndsTypedAsLfBecomeCrLf) {
    EXPECT_EQ(CheckReportFileBytes("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n\r\n");
    EXPECT_EQ(CheckReportFileBytes("\n"), "\r\n\r\n");
}

TEST_F(SaveReport, AnEmptyPanelGivesASingleLineEnd) {
    const auto file = dir_ / "empty.Txt";
    prompter_.files.push_back(file);
    EXPECT_TRUE(SaveCheckReport(prompter_, ""));
    EXPECT_EQ(Slurp(file), "\r\n");
}

TEST_F(SaveReport, ReplacesAnExistingFile) {
    const auto file = dir_ / "r.Txt";
    base::WriteFileAtomically(file, std::string(5000, 'x'));
    prompter_.files.push_back(file);
    EXPECT_TRUE(SaveCheckReport(prompter_, "新"));
    EXPECT_EQ(Slurp(file), base::ToGbk("新\r\n"));
}

TEST_F(SaveReport, CancellingWritesNothingAndAsksForAName) {
    EXPECT_FALSE(SaveCheckReport(prompter_, "text"));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    const base::Message& m = prompter_.messages[0];
    EXPECT_EQ(m.title, "保存审核结果");
    EXPECT_EQ(m.text, "请指定文件名！！");
    EXPECT_EQ(m.icon, base::Icon::Question);
    EXPECT_EQ(m.buttons, base::Buttons::YesNo);
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(SaveReport, AnUnwritablePathKeepsThePanelAndTellsWhy) {
    const std::string panel = " 审核结果\r\n";
    const auto file = dir_ / "missing" / "r.Txt";
    prompter_.files.push_back(file);
    EXPECT_FALSE(SaveCheckReport(prompter_, panel));
    EXPECT_EQ(panel, " 审核结果\r\n");
    EXPECT_FALSE(std::filesystem::exists(file));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].title, "Qorvath省科技计划项目执行情况年度调查");
    EXPECT_EQ(prompter_.messages[0].text.rfind("审核结果未能保存：", 0), 0u);
    EXPECT_NE(prompter_.messages[0].text.find(file.string()), std::string::npos);
    EXPECT_NE(prompter_.messages[0].text.find("不存在"), std::string::npos);
}

TEST_F(SaveReport, AFolderInPlaceOfTheFileIsTold) {
    const auto file = dir_ / "taken.Txt";
    std::filesystem::create_directory(file);
    prompter_.files.push_back(file);
    EXPECT_FALSE(SaveCheckReport(prompter_, "x"));
    EXPECT_TRUE(std::filesystem::is_directory(file));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text.rfind("审核结果未能保存：", 0), 0u);
    EXPECT_NE(prompter_.messages[0].text.find(file.string()), std::string::npos);
}

TEST_F(SaveReport, TextGbkCannotHoldIsRefusedAndTheOldFileKept) {
    const auto file = dir_ / "r.Txt";
    base::WriteFileAtomically(file, "old");
    prompter_.files.push_back(file);
    EXPECT_FALSE(SaveCheckReport(prompter_, "项目 \xF0\x9F\x98\x80"));
    EXPECT_EQ(Slurp(file), "old");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_NE(prompter_.messages[0].text.find("GBK"), std::string::npos);
    EXPECT_NE(prompter_.messages[0].text.find(file.string()), std::string::npos);
}

}  // namespace
}  // namespace zorbix::check

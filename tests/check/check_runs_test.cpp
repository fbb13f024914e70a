// The check runs on a real store: the panel after a run over all projects or
// the current one, the page check of the page buttons, and what each shows.
#include "check/check_runs.h"

#include <gtest/gtest.h>

#include "store/store.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::check {
namespace {

using base::Icon;
using testing::RecordingPrompter;

// A project with a table-one finding and a table-two finding of its own,
// and whatever else an almost empty record fails.
store::Row Project(const std::string& number) {
    store::Row row(store::kColumnCount);
    auto set = [&](const char* c, const char* v) { row[store::ColumnIndex(c)] = v; };
    row[store::ColumnIndex("JB02")] = number;
    for (const char* c : {"JB411", "JB412", "JB413"}) set(c, "张三");
    for (const char* c : {"JB431", "JB432", "JB433"}) set(c, "1970");
    for (const char* c : {"JB25", "JB26", "JB27", "JB61", "JB62", "JB64", "JB65"}) set(c, "1.甲");
    set("JB01", "测试项目");
    set("JB22", "960100");
    set("JB24", "960001");
    set("JB63_1", "2013");
    set("JB63_2", "2013");
    set("JB71", "1.按计划进度进行");
    set("JB81", "2.否");
    return row;
}

class CheckRuns : public ::testing::Test {
protected:
    store::RecordSet& records() { return store_.records(); }
    // Adds rows and reopens the set, so they stand in number order.
    void Add(const std::vector<store::Row>& rows) {
        for (const auto& row : rows) records().AddNew(row);
        records().Reopen();
    }

    testing::TempDir dir_;
    store::Store store_{dir_.path()};
    RecordingPrompter prompter_;
};

TEST_F(CheckRuns, AnEmptyStoreGivesTheHeadingAndTheNotice) {
    std::string panel = "old text";
    EXPECT_TRUE(CheckAllProjects(records(), prompter_, panel));
    EXPECT_EQ(panel, " 审核结果\r\n");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].title, "科技项目统计");
    EXPECT_EQ(prompter_.messages[0].text, "审核完成，请在数据审核结果框内查看结果。");
    EXPECT_EQ(prompter_.messages[0].icon, base::Icon::Exclamation);
    EXPECT_EQ(prompter_.busy_begun, 1);
    EXPECT_EQ(prompter_.busy_ended, 1);
}

TEST_F(CheckRuns, AllProjectsInNumberOrderWithTheirOwnNumbers) {
    store::Row late = Project("201300000003");
    late[store::ColumnIndex("JL110")] = "2";
    store::Row early = Project("201300000001");
    early[store::ColumnIndex("JB24")] = "9600";
    early[store::ColumnIndex("JG131")] = "2000000";
    Add({late, Project("201300000002"), early});
    std::string panel;
    EXPECT_TRUE(CheckAllProjects(records(), prompter_, panel));
    EXPECT_EQ(panel,
              " 审核结果\r\n"
              "项目201300000001 表一 JH24邮政编码填写有误！\r\n"
              "项目201300000001 表四 新增产值 > 1500000千元（15亿元！！），请核对！\r\n"
              "项目201300000003 表三 JL100 = JL110+JL430+JL440，有误！\r\n");
    EXPECT_EQ(records().Position(), 1);
    EXPECT_EQ(prompter_.messages.size(), 1u);
}

TEST_F(CheckRuns, AllProjectsIncludesAndWritesAPendingChange) {
    Add({Project("201300000001"), Project("201300000002")});
    records().MoveTo(2);
    records().SetValue("JL400", "-1");
    std::string panel;
    CheckAllProjects(records(), prompter_, panel);
    EXPECT_EQ(panel, " 审核结果\r\n项目201300000002 表三 JL400 >= JL410+JL420，有误！\r\n");
    EXPECT_EQ(records().ReadRow(2)[store::ColumnIndex("JL400")], "-1");
    EXPECT_FALSE(records().HasPendingChange());
}

TEST_F(CheckRuns, CurrentProjectReplacesThePanelEachTime) {
    Add({Project("201300000001")});
    records().MoveFirst();
    std::string panel = " 审核结果\r\nolder lines\r\n";
    EXPECT_TRUE(CheckCurrentProject(records(), prompter_, panel));
    EXPECT_EQ(panel, "项目201300000001 审核结果\r\n");
    records().SetValue("JB01", "项目");
    records().SetValue("JF2001", "1");
    CheckCurrentProject(records(), prompter_, panel);
    CheckCurrentProject(records(), prompter_, panel);
    EXPECT_EQ(panel,
              "项目201300000001 审核结果\r\n"
              "项目201300000001 封面 JH01项目名称填写有误！\r\n"
              "项目201300000001 表二 JF400 = JF100-JF200，累计数有误！\r\n");
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_TRUE(records().HasPendingChange());
}

TEST_F(CheckRuns, CurrentProjectWithoutARecordLeavesThePanel) {
    std::string panel = "kept";
    EXPECT_FALSE(CheckCurrentProject(records(), prompter_, panel));
    EXPECT_EQ(panel, "kept");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "当前没有项目，无法审核。");
}

TEST_F(CheckRuns, PageButtonsStayUntilTheErrorIsMended) {
    Add({Project("201300000001")});
    records().MoveFirst();
    records().SetValue("JF1001", "5");
    EXPECT_TRUE(CheckPageBeforeLeaving(records(), prompter_, store::Page::TableOne));
    EXPECT_FALSE(CheckPageBeforeLeaving(records(), prompter_, store::Page::TableTwo));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    const base::Message& shown = prompter_.messages[0];
    EXPECT_EQ(shown.title, "Qorvath省科技计划项目执行情况年度调查");
    EXPECT_EQ(shown.icon, base::Icon::Information);
    EXPECT_EQ(shown.buttons, base::Buttons::Ok);
    EXPECT_EQ(
        shown.text,
        "项目201300000001 表二 JF100 = JF170+JF110+JF120+JF130+JF140+JF150+JF160，累计数有误！\r\n"
        "项目201300000001 表二 JF400 = JF100-JF200，累计数有误！\r\n");
    records().SetValue("JF1701", "5");
    records().SetValue("JF4001", "5");
    EXPECT_TRUE(CheckPageBeforeLeaving(records(), prompter_, store::Page::TableTwo));
    EXPECT_EQ(prompter_.messages.size(), 1u);
}

TEST_F(CheckRuns, EachPageChecksOnlyItsOwnTable) {
    store::Row row(store::kColumnCount);
    row[store::ColumnIndex("JB02")] = "201300000001";
    row[store::ColumnIndex("JG131")] = "1500001";
    Add({row});
    records().MoveFirst();
    EXPECT_TRUE(CheckPageBeforeLeaving(records(), prompter_, store::Page::Cover));
    EXPECT_TRUE(CheckPageBeforeLeaving(records(), prompter_, store::Page::TableTwo));
    EXPECT_TRUE(CheckPageBeforeLeaving(records(), prompter_, store::Page::TableThree));
    EXPECT_FALSE(CheckPageBeforeLeaving(records(), prompter_, store::Page::TableFour));
    EXPECT_FALSE(CheckPageBeforeLeaving(records(), prompter_, store::Page::TableOne));
    ASSERT_EQ(prompter_.messages.size(), 2u);
    EXPECT_EQ(
        prompter_.messages[1].text.rfind("项目201300000001 表一 JH41项目参加人员漏填！\r\n", 0),
        0u);
}

TEST(CheckReportPanel, ClearEmptiesIt) {
    std::string panel = " 审核结果\r\n";
    ClearCheckReport(panel);
    EXPECT_EQ(panel, "");
}

}  // namespace
}  // namespace zorbix::check

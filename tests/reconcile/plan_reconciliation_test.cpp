// The reconciliation run over a real store and a plan workbook in the
// program directory: its messages, its panel text, where the store ends, and
// the refusals that leave the panel alone.
#include "reconcile/plan_reconciliation.h"

#include <gtest/gtest.h>

#include <fstream>

#include "reconcile/plan_list.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "store/titles.h"
#include "tests/office/test_workbooks.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::reconcile {
namespace {

using testing::TestCell;
using testing::TestRow;

const std::string kHeaderLines =
    "项目上报情况核对结果\r\n项目总数：{n}，上报项目数：{m}\r\n以下是漏报或错报项目\r\n"
    "===========================================\r\n";

std::string Header(int n, int m) {
    std::string h = kHeaderLines;
    h.replace(h.find("{n}"), 3, std::to_string(n));
    h.replace(h.find("{m}"), 3, std::to_string(m));
    return h;
}

void AddProject(store::RecordSet& records, const std::string& number, const std::string& jf1102) {
    records.AddNew();
    records.SetValue("JB02", number);
    records.SetValue("JB01", "项目" + number);
    records.SetValue("XMCDDW", "承担单位");
    records.SetValue("ZGDW", "主管部门");
    records.SetValue("JF1102", jf1102);
    records.WriteBack();
}

TestRow PlanRow(TestCell number, double amount) {
    return {std::string("1"),    number, std::string("计划名称"), std::string("单位"),
            std::string("处室"), amount};
}

const TestRow kHeading = {std::string("序号"),     std::string("项目编号"), std::string("项目名称"),
                          std::string("承担单位"), std::string("处室"),     std::string("金额")};

class PlanReconciliation : public ::testing::Test {
protected:
    PlanReconciliation() : store_(dir_.path()) {
        AddProject(records(), "0201300000001", "1234");  // leading zero: compares by value
        AddProject(records(), "201300000002", "50");
        AddProject(records(), "201300000003", "10");
        records().Reopen();
    }
    store::RecordSet& records() { return store_.records(); }

    testing::TempDir dir_;
    store::Store store_;
    testing::RecordingPrompter prompter_;
};

TEST_F(PlanReconciliation, ComparesThePlanAndEndsOnTheFirstRecord) {
    testing::WriteTestXlsx(dir_ / kPlanWorkbookXlsx,
                           {kHeading, PlanRow(201300000004.0, 1), PlanRow(201300000001.0, 123.5),
                            PlanRow(std::string("201300000002"), 5)});
    records().MoveTo(2);
    records().SetValue("JF1102", "60");  // typed, not yet written: the run sees it
    const auto text = ReconcileWithPlan(records(), prompter_, dir_.path());
    ASSERT_TRUE(text);
    EXPECT_EQ(text.panel, Header(3, 3) +
                              "1 金额错误201300000001 项目0201300000001 承担单位\r\n"
                              "2 金额错误201300000002 项目201300000002 承担单位\r\n"
                              "3 错报 201300000003 项目201300000003 承担单位 主管部门\r\n"
                              "4 漏报 201300000004 计划名称 单位 处室\r\n");
    EXPECT_EQ(records().Position(), 1);
    EXPECT_EQ(records().ReadRow(2)[store::ColumnIndex("JF1102")], "60");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].title, store::kRunEndTitle);
    EXPECT_EQ(prompter_.messages[0].text, kReconcileDone);
    EXPECT_EQ(prompter_.messages[0].icon, base::Icon::Exclamation);
}

TEST_F(PlanReconciliation, APlanOfOnlyItsHeadingRowReportsEveryStoredProjectAsUnplanned) {
    testing::WriteTestXlsx(dir_ / kPlanWorkbookXlsx, {kHeading});
    const auto text = ReconcileWithPlan(records(), prompter_, dir_.path());
    ASSERT_TRUE(text) << prompter_.messages.at(0).text;
    EXPECT_EQ(text.panel, Header(0, 3) +
                              "1 错报 0201300000001 项目0201300000001 承担单位 主管部门\r\n"
                              "2 错报 201300000002 项目201300000002 承担单位 主管部门\r\n"
                              "3 错报 201300000003 项目201300000003 承担单位 主管部门\r\n");
}

TEST_F(PlanReconciliation, WithoutAPlanWorkbookItSaysSoAndGivesNoResult) {
    const auto result = ReconcileWithPlan(records(), prompter_, dir_.path());
    EXPECT_EQ(result.outcome, base::Outcome::Failed);
    EXPECT_TRUE(result.panel.empty());
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_NE(prompter_.messages[0].text.find("找不到计划文件“2013计划.xlsx”"), std::string::npos);
    EXPECT_NE(prompter_.messages[0].text.find("未能完成"), std::string::npos);
}

TEST_F(PlanReconciliation, ADamagedOrWrongWorkbookIsNamedWithTheReason) {
    const auto plan = dir_ / kPlanWorkbookXlsx;
    std::ofstream(plan) << "不是工作簿";
    EXPECT_FALSE(ReconcileWithPlan(records(), prompter_, dir_.path()));
    testing::WriteTestXlsx(plan, {kHeading, {std::string("1"), std::string("合计")}});
    EXPECT_FALSE(ReconcileWithPlan(records(), prompter_, dir_.path()));
    ASSERT_EQ(prompter_.messages.size(), 2u);
    for (const auto& m : prompter_.messages) {
        EXPECT_NE(m.text.find(plan.string()), std::string::npos) << m.text;
        EXPECT_NE(m.text, kReconcileDone);
    }
    EXPECT_NE(prompter_.messages[0].text.find("不是Excel工作簿"), std::string::npos);
    EXPECT_NE(prompter_.messages[1].text.find("不是项目编号"), std::string::npos);
}

TEST_F(PlanReconciliation, ReadsAnXlsPlanWhenOnlyThatExists) {
    testing::WriteTestXlsx(dir_ / "2013计划.xlsx",
                           {kHeading, PlanRow(std::string("201300000003"), 1),
                            PlanRow(201300000001.0, 123.4), PlanRow(201300000002.0, 5)});
    const auto xls = testing::ConvertToXls(dir_ / "2013计划.xlsx");
    ASSERT_FALSE(xls.empty()) << "LibreOffice made no .xls";
    std::filesystem::remove(dir_ / "2013计划.xlsx");
    const auto text = ReconcileWithPlan(records(), prompter_, dir_.path());
    ASSERT_TRUE(text) << prompter_.messages.at(0).text;
    EXPECT_EQ(text.panel, Header(3, 3));
}

}  // namespace
}  // namespace zorbix::reconcile

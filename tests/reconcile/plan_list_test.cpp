// The plan list taken from a sheet, and the plan workbook looked for in the
// program directory.
#include "reconcile/plan_list.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/error.h"
#include "tests/support/temp_dir.h"

namespace zorbix::reconcile {
namespace {

using office::Cell;

office::Sheet PlanSheet(const std::vector<std::vector<Cell>>& rows) {
    office::Sheet sheet;
    sheet.Put(1, 2, Cell::FromText("项目编号"));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].IsEmpty())
                sheet.Put(static_cast<int>(r) + 2, static_cast<int>(c) + 1, rows[r][c]);
    return sheet;
}

Cell T(const char* text) { return Cell::FromText(text); }
Cell N(double number) { return Cell::FromNumber(number); }

std::string FailureOf(const office::Sheet& sheet) {
    try {
        PlanList(sheet, "/程序/2013计划.xlsx");
    } catch (const base::Failure& e) {
        return e.what();
    }
    return "";
}

TEST(PlanList, RowsFromTwoToTheFirstEmptyNumber) {
    const auto plan =
        PlanList(PlanSheet({{N(1), N(201300000002), T("名称"), T("单位"), N(3), N(12.5)},
                            {{}, T("0201300000001"), {}, T("单位乙"), {}, T("7.25万元")},
                            {{}, {}, T("空行之后"), {}, {}, N(1)},
                            {{}, N(201300000009), {}, {}, {}, N(1)}}),
                 "plan.xlsx");
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].row, 2);
    EXPECT_EQ(plan[0].number_text, "201300000002");
    EXPECT_EQ(plan[0].number, 201300000002.0);
    EXPECT_EQ(plan[0].details, (std::array<std::string, 3>{"名称", "单位", "3"}));
    EXPECT_EQ(plan[0].amount, 12.5);
    EXPECT_EQ(plan[1].number_text, "0201300000001");
    EXPECT_EQ(plan[1].number, 201300000001.0);
    EXPECT_EQ(plan[1].details, (std::array<std::string, 3>{"", "单位乙", ""}));
    EXPECT_EQ(plan[1].amount, 7.25);
}

TEST(PlanList, AHeadingRowAloneIsAPlanWithNoProjects) {
    EXPECT_TRUE(PlanList(PlanSheet({}), "plan.xlsx").empty());
}

TEST(PlanList, SheetsThatAreNoPlanListAreRefused) {
    const office::Sheet empty;
    EXPECT_NE(FailureOf(empty).find("第2行第2列没有项目编号"), std::string::npos);
    office::Sheet headless;
    headless.Put(3, 2, T("201300000001"));
    EXPECT_NE(FailureOf(headless).find("第2行第2列没有项目编号"), std::string::npos);
    EXPECT_NE(FailureOf(PlanSheet({{{}, N(201300000001), {}, {}, {}, N(1)}, {{}, T("合计")}}))
                  .find("第3行第2列“合计”不是项目编号"),
              std::string::npos);
    EXPECT_NE(FailureOf(PlanSheet({{{}, N(201300000001), T("名称")}})).find("第6列"),
              std::string::npos);
    EXPECT_NE(FailureOf(empty).find("/程序/2013计划.xlsx"), std::string::npos);
}

TEST(FindPlanWorkbook, XlsxFirstThenXlsThenAMessageNamingBoth) {
    testing::TempDir dir;
    try {
        FindPlanWorkbook(dir.path());
        ADD_FAILURE() << "found a plan workbook in an empty directory";
    } catch (const base::Failure& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("2013计划.xlsx"), std::string::npos);
        EXPECT_NE(text.find("2013计划.xls”"), std::string::npos);
        EXPECT_NE(text.find(dir.path().string()), std::string::npos);
    }
    std::ofstream(dir / "2013计划.xls") << "x";
    EXPECT_EQ(FindPlanWorkbook(dir.path()), dir / "2013计划.xls");
    std::ofstream(dir / "2013计划.xlsx") << "x";
    EXPECT_EQ(FindPlanWorkbook(dir.path()), dir / "2013计划.xlsx");
}

}  // namespace
}  // namespace zorbix::reconcile

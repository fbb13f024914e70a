// Loading the plan workbook: shells for the planned projects of each unit,
// nothing changed by loading again, the workbook kept for the
// reconciliation, and uploads refused by size, reader or layout.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "reconcile/plan_list.h"
#include "tests/server/server_fixture.h"
#include "tests/server/workbook_bytes.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using nlohmann::json;

const WorkbookCell kHeading[] = {std::string("序号"),     std::string("项目编号"),
                                 std::string("项目名称"), std::string("承担单位"),
                                 std::string("处室"),     std::string("金额")};

std::vector<WorkbookCell> Planned(double seq, double number, const std::string& name,
                                  const std::string& unit, double amount) {
    return {seq, number, name, unit, std::string("高新处"), amount};
}

class PlanLoad : public ServerFixture {
protected:
    PlanLoad() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddDemoProject("201300000001", "甲单位");
        clerk_ = Login("clerk", "clerk-password");
        std::filesystem::create_directory(scratch_);
    }

    std::string Plan(const WorkbookRows& projects) {
        WorkbookRows rows = {{std::begin(kHeading), std::end(kHeading)}};
        rows.insert(rows.end(), projects.begin(), projects.end());
        return WorkbookBytes(scratch_, rows);
    }
    std::string ThreeProjects() {
        return Plan({Planned(1, 201300000001, "已有的项目", "甲单位", 50),
                     Planned(2, 201300000002, "新项目二", "甲单位", 20),
                     Planned(3, 201300000003, "新项目三", "丙单位", 30)});
    }
    Reply Load(const std::string& bytes) { return Upload("/api/plan", &clerk_, bytes); }
    json ListOf(const BrowserSession& who) {
        return Call("GET", "/api/projects", &who).Json()["projects"];
    }

    std::filesystem::path scratch_ = dir_.path() / "scratch";
    BrowserSession clerk_;
};

TEST_F(PlanLoad, PlannedProjectsWaitForTheirUnitsAsShells) {
    const std::string before = Call("GET", "/api/projects/201300000001", &clerk_).body;
    const Reply loaded = Load(ThreeProjects());
    ASSERT_EQ(loaded.status, 200) << loaded.body;
    EXPECT_EQ(
        loaded.Json(),
        (json{
            {"planned", 3}, {"added", 2}, {"already", 1}, {"units_without_account", {"丙单位"}}}));

    const BrowserSession unit = Login("unit", "unit-password");
    const json list = ListOf(unit);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]["number"], "201300000002");
    EXPECT_EQ(list[1]["name"], "新项目二");
    EXPECT_EQ(list[1]["unit"], "甲单位");
    EXPECT_EQ(list[1]["state"], "未填报");
    const json shell = Call("GET", "/api/projects/201300000002", &unit).Json();
    EXPECT_EQ(shell["values"]["XMCDDW"], "甲单位");
    EXPECT_EQ(shell["values"]["JB22"], "");
    EXPECT_EQ(Call("GET", "/api/projects/201300000001", &clerk_).body, before)
        << "a stored project keeps its name and values";
}

TEST_F(PlanLoad, LoadingAgainAddsOnlyWhatIsNew) {
    ASSERT_EQ(Load(ThreeProjects()).status, 200);
    const BrowserSession unit = Login("unit", "unit-password");
    ASSERT_EQ(SaveFresh(unit, "201300000002", {{"JB01", "单位改过的名称"}}).status, 200);

    const Reply again = Load(Plan({Planned(1, 201300000002, "计划中的名称", "甲单位", 20),
                                   Planned(2, 201300000004, "新项目四", "甲单位", 10)}));
    ASSERT_EQ(again.status, 200) << again.body;
    EXPECT_EQ(again.Json()["added"], 1);
    EXPECT_EQ(again.Json()["already"], 1);
    const json project = Call("GET", "/api/projects/201300000002", &unit).Json();
    EXPECT_EQ(project["values"]["JB01"], "单位改过的名称");
    EXPECT_EQ(project["state"], "填报中");
    EXPECT_EQ(ListOf(unit).size(), 3u);
}

TEST_F(PlanLoad, AnAccountMadeLaterForAPlannedUnitFindsItsProjects) {
    ASSERT_EQ(Load(ThreeProjects()).status, 200);
    AddAccount("bing", Role::Unit, "丙单位", "bing-password");
    const json list = ListOf(Login("bing", "bing-password"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["number"], "201300000003");
}

TEST_F(PlanLoad, TheShellsAreInTheHistoryWithWhoLoadedThePlan) {
    ASSERT_EQ(Load(ThreeProjects()).status, 200);
    const json lines = Call("GET", "/api/projects/201300000003/history", &clerk_).Json()["history"];
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["operation"], "载入计划");
    EXPECT_EQ(lines[0]["who"], "clerk");
}

TEST_F(PlanLoad, TheWorkbookIsKeptForTheReconciliation) {
    const std::string bytes = ThreeProjects();
    ASSERT_EQ(Load(bytes).status, 200);
    const auto kept = dir_.path() / reconcile::kPlanWorkbookXlsx;
    std::ifstream in(kept, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
    const auto plan = reconcile::ReadPlanList(reconcile::FindPlanWorkbook(dir_.path()));
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[2].amount, 30);
}

struct RefusedPlan {
    std::string name;
    std::string bytes;  // "" : a plan made of `rows`
    WorkbookRows rows;
    int status;
    std::string message_part;
};

void PrintTo(const RefusedPlan& plan, std::ostream* out) { *out << plan.name; }

const RefusedPlan kRefusedPlans[] = {
    {"NoWorkbook", "这不是一个工作簿", {}, 400, "不是Excel工作簿"},
    {"EmptyBody", "", {}, 400, "2013计划.xlsx"},
    {"TruncatedZip", "PK\x03\x04\x14\x00\x00\x00", {}, 400, "2013计划.xlsx"},
    {"NoNumberInColumnTwo",
     "",
     {{std::string("序号"), std::string("项目编号")},
      {1.0, std::string("合计"), std::string("x"), std::string("y"), std::string("z"), 1.0}},
     400,
     "不是项目编号"},
    {"NoAmounts",
     "",
     {{std::string("序号"), std::string("项目编号")},
      {1.0, 201300000001.0, std::string("项目"), std::string("甲单位")}},
     400,
     "计划金额"},
    {"UnitTheStoreCannotHold",
     "",
     {{std::string("序号"), std::string("项目编号")},
      {1.0, 201300000001.0, std::string("项目"), std::string("甲\U0001F600单位"), std::string("处"),
       1.0}},
     422,
     "第2行"},
};

class PlanRefusals : public PlanLoad, public ::testing::WithParamInterface<RefusedPlan> {};

TEST_P(PlanRefusals, NothingIsLoaded) {
    const RefusedPlan& plan = GetParam();
    const Reply reply = Load(plan.rows.empty() ? plan.bytes : WorkbookBytes(scratch_, plan.rows));
    EXPECT_EQ(reply.status, plan.status) << reply.body;
    const std::string message = reply.Json().value("error", "");
    EXPECT_NE(message.find(plan.message_part), std::string::npos) << message;
    EXPECT_EQ(message.find("/tmp"), std::string::npos) << "no scratch path: " << message;
    EXPECT_EQ(ListOf(clerk_).size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / reconcile::kPlanWorkbookXlsx));
}

INSTANTIATE_TEST_SUITE_P(Plans, PlanRefusals, ::testing::ValuesIn(kRefusedPlans), NameMember());

TEST_F(PlanLoad, ATooLargeWorkbookIsRefusedBeforeItIsRead) {
    EXPECT_EQ(StatusForDeclaredLength("/api/plan", &clerk_, 16 * 1024 * 1024 + 1), 413);
    EXPECT_EQ(StatusForDeclaredLength("/api/plan", nullptr, 64ull << 30), 413);
    EXPECT_EQ(StatusForDeclaredLength("/api/plan", &clerk_, 17 * 1024 * 1024, true), 413);
    EXPECT_EQ(StatusForDeclaredLength("/api/projects", &clerk_, 3 << 20), 413)
        << "JSON calls keep their smaller limit";
}

TEST_F(PlanLoad, OnlyTheOfficeLoadsAPlan) {
    const BrowserSession unit = Login("unit", "unit-password");
    EXPECT_EQ(Upload("/api/plan", &unit, ThreeProjects()).status, 403);
    EXPECT_EQ(Upload("/api/plan", nullptr, ThreeProjects()).status, 401);
    EXPECT_EQ(ListOf(clerk_).size(), 1u);
}

}  // namespace
}  // namespace zorbix::testing

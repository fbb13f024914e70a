// The office's progress: counts by unit and state, projects with findings,
// planned amounts once a plan is loaded, the filters, and the workbook of
// the units that have not submitted everything.
#include <gtest/gtest.h>

#include "accounts/project_states.h"
#include "tests/server/server_fixture.h"
#include "tests/server/workbook_bytes.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::ProjectState;
using accounts::Role;
using nlohmann::json;

constexpr const char* kPassing = "201300000001";    // 甲单位, 已上报, no finding
constexpr const char* kDraft = "201300000002";      // 甲单位, 填报中, empty
constexpr const char* kUntouched = "201300000003";  // 乙单位, 未填报, empty

class ProgressCalls : public ServerFixture {
protected:
    ProgressCalls() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddDemoProject(kPassing, "甲单位");
        AddProject(kDraft, "甲单位");
        AddProject(kUntouched, "乙单位");
        SetState(kPassing, ProjectState::Submitted);
        SetState(kDraft, ProjectState::Drafting);
        clerk_ = Login("clerk", "clerk-password");
        std::filesystem::create_directory(scratch_);
    }

    void SetState(const std::string& number, ProjectState state) {
        store_.With([&](server::StoreParts& parts) { parts.states.SetState(number, state); });
    }
    json Progress(const std::string& query = "") {
        const Reply reply = Call("GET", "/api/progress" + query, &clerk_);
        EXPECT_EQ(reply.status, 200) << reply.body;
        return reply.Json();
    }
    json UnitLine(const json& progress, const std::string& unit) {
        for (const json& line : progress["units"])
            if (line["unit"] == unit) return line;
        return nullptr;
    }
    std::string ValueOf(const std::string& number, const std::string& column) {
        return Call("GET", "/api/projects/" + number, &clerk_).Json()["values"][column];
    }

    std::filesystem::path scratch_ = dir_.path() / "scratch";
    BrowserSession clerk_;
};

TEST_F(ProgressCalls, CountsByUnitAndStateWithFindings) {
    const json progress = Progress();
    EXPECT_EQ(progress["states"],
              json::array({"未填报", "填报中", "已上报", "退回修改", "已审核"}));
    EXPECT_EQ(progress["total"]["projects"], 3);
    EXPECT_EQ(progress["total"]["with_findings"], 2);
    EXPECT_EQ(progress["total"]["states"],
              (json{{"未填报", 1}, {"填报中", 1}, {"已上报", 1}, {"退回修改", 0}, {"已审核", 0}}));
    EXPECT_EQ(progress["total"]["planned_amount"], nullptr);
    const json jia = UnitLine(progress, "甲单位");
    EXPECT_EQ(jia["projects"], 2);
    EXPECT_EQ(jia["with_findings"], 1);
    EXPECT_EQ(jia["states"]["已上报"], 1);
    EXPECT_EQ(UnitLine(progress, "乙单位")["states"]["未填报"], 1);
}

TEST_F(ProgressCalls, FindingsFollowEverySave) {
    EXPECT_EQ(Progress()["total"]["with_findings"], 2);
    SetState(kPassing, ProjectState::Drafting);
    const BrowserSession unit = Login("unit", "unit-password");
    ASSERT_EQ(SaveFresh(unit, kPassing, {{"JB22", "999"}}).status, 200);
    EXPECT_EQ(Progress()["total"]["with_findings"], 3);
}

struct FilterCase {
    std::string name;
    std::string query;  // "{region}", "{category}": the passing project's own
    int projects;
};

void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.name; }

const FilterCase kFilters[] = {
    {"StateByCaption", "?state=%E5%B7%B2%E4%B8%8A%E6%8A%A5", 1},  // 已上报
    {"StateByCode", "?state=drafting", 1},
    {"Unit", "?unit=%E4%B9%99%E5%8D%95%E4%BD%8D", 1},  // 乙单位
    {"RegionPrefix", "?region={region}", 1},
    {"Category", "?category={category}", 1},
    {"UnitAndState", "?unit=%E4%B9%99%E5%8D%95%E4%BD%8D&state=approved", 0},
};

class ProgressFilters : public ProgressCalls, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(ProgressFilters, NarrowTheCount) {
    std::string query = GetParam().query;
    const std::string region = ValueOf(kPassing, "JB22").substr(0, 2);
    const std::string category = httplib::detail::encode_query_param(ValueOf(kPassing, "JB61"));
    if (const auto at = query.find("{region}"); at != std::string::npos)
        query.replace(at, 8, region);
    if (const auto at = query.find("{category}"); at != std::string::npos)
        query.replace(at, 10, category);
    EXPECT_EQ(Progress(query)["total"]["projects"], GetParam().projects) << query;
}

INSTANTIATE_TEST_SUITE_P(Queries, ProgressFilters, ::testing::ValuesIn(kFilters), NameMember());

TEST_F(ProgressCalls, AnUnknownStateIsRefused) {
    const Reply reply = Call("GET", "/api/progress?state=done", &clerk_);
    EXPECT_EQ(reply.status, 400);
    EXPECT_NE(reply.Json()["error"].get<std::string>().find("填报状态"), std::string::npos);
}

TEST_F(ProgressCalls, PlannedAmountsOnceAPlanIsLoaded) {
    const WorkbookRows plan = {
        {std::string("序号"), std::string("项目编号"), std::string("项目名称"),
         std::string("承担单位"), std::string("处室"), std::string("金额")},
        {1.0, 201300000001.0, std::string("甲"), std::string("甲单位"), std::string("处"), 50.0},
        {2.0, 201300000002.0, std::string("乙"), std::string("甲单位"), std::string("处"), 20.5},
    };
    ASSERT_EQ(Upload("/api/plan", &clerk_, WorkbookBytes(scratch_, plan)).status, 200);
    const json progress = Progress();
    EXPECT_EQ(progress["total"]["planned_amount"], 70.5);
    EXPECT_EQ(UnitLine(progress, "甲单位")["planned_amount"], 70.5);
    EXPECT_EQ(UnitLine(progress, "乙单位")["planned_amount"], 0);
}

TEST_F(ProgressCalls, TheMissingWorkbookListsUnitsNotDone) {
    SetState(kDraft, ProjectState::Approved);
    const Reply reply = Call("GET", "/api/progress/missing.xlsx", &clerk_);
    ASSERT_EQ(reply.status, 200) << reply.body;
    EXPECT_NE(reply.Header("Content-Disposition").find(".xlsx"), std::string::npos);
    const office::Sheet sheet = SheetOfBytes(scratch_, reply.body);
    EXPECT_EQ(sheet.At(1, 1).text, "单位名称");
    EXPECT_EQ(sheet.At(2, 1).text, "乙单位");
    EXPECT_EQ(sheet.At(2, 3).number, 1);
    EXPECT_EQ(sheet.At(2, 4).number, 1) << "未填报";
    EXPECT_EQ(sheet.LastRow(), 2) << "甲单位 has submitted everything";
}

TEST_F(ProgressCalls, OnlyTheOfficeSeesIt) {
    const BrowserSession unit = Login("unit", "unit-password");
    EXPECT_EQ(Call("GET", "/api/progress", &unit).status, 403);
    EXPECT_EQ(Call("GET", "/api/progress/missing.xlsx", &unit).status, 403);
}

}  // namespace
}  // namespace zorbix::testing

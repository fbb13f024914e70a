// Submitting a project: only its unit may, only from a state it may still
// edit, and only once the four rule sets find nothing; the state and its
// history line change together.
#include <gtest/gtest.h>

#include "accounts/project_states.h"
#include "tests/server/server_fixture.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::ProjectState;
using accounts::Role;
using nlohmann::json;

constexpr const char* kProject = "201300000001";

class ProjectSubmit : public ServerFixture {
protected:
    ProjectSubmit() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("admin", Role::Admin, "", "admin-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddDemoProject(kProject, "甲单位");
        unit_ = Login("unit", "unit-password");
    }

    Reply Submit(const BrowserSession& who, const std::string& number = kProject) {
        return Call("POST", "/api/projects/" + number + "/submit", &who);
    }
    std::string State() {
        return Call("GET", std::string("/api/projects/") + kProject, &unit_).Json()["state"];
    }
    void SetState(ProjectState state) {
        store_.With([&](server::StoreParts& parts) { parts.states.SetState(kProject, state); });
    }

    BrowserSession unit_;
};

TEST_F(ProjectSubmit, FindingsStopItUntilTheyAreMended) {
    const std::string amount =
        Call("GET", std::string("/api/projects/") + kProject, &unit_).Json()["values"]["JB22"];
    ASSERT_EQ(SaveFresh(unit_, kProject, {{"JB22", "999"}}).status, 200);

    const Reply refused = Submit(unit_);
    ASSERT_EQ(refused.status, 422) << refused.body;
    const json answer = refused.Json();
    EXPECT_NE(answer["error"].get<std::string>().find("请修改后再上报"), std::string::npos);
    const json findings =
        Call("GET", std::string("/api/projects/") + kProject + "/findings", &unit_).Json();
    EXPECT_EQ(answer["findings"], findings["findings"]) << "the findings call's own data";
    EXPECT_FALSE(answer["findings"].empty());
    EXPECT_EQ(State(), "填报中");

    ASSERT_EQ(SaveFresh(unit_, kProject, {{"JB22", amount}}).status, 200);
    const Reply submitted = Submit(unit_);
    ASSERT_EQ(submitted.status, 200) << submitted.body;
    EXPECT_EQ(submitted.Json()["state"], "已上报");
    EXPECT_EQ(submitted.Json()["version"], VersionOf(kProject, unit_));
    EXPECT_EQ(State(), "已上报");
}

TEST_F(ProjectSubmit, TheStateChangeIsInTheHistoryWithWhoAndWhen) {
    ASSERT_EQ(Submit(unit_).status, 200);
    const json lines = Call("GET", std::string("/api/projects/") + kProject + "/history", &unit_)
                           .Json()["history"];
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0]["operation"], "网页上报");
    EXPECT_EQ(lines[0]["column"], "填报状态");
    EXPECT_EQ(lines[0]["old"], "未填报");
    EXPECT_EQ(lines[0]["new"], "已上报");
    EXPECT_EQ(lines[0]["who"], "unit");
    EXPECT_EQ(lines[0]["time"].get<std::string>().size(), 19u);
}

TEST_F(ProjectSubmit, ASubmittedProjectIsTheOfficesNow) {
    ASSERT_EQ(Submit(unit_).status, 200);
    const Reply save = SaveFresh(unit_, kProject, {{"JB03", "改"}});
    EXPECT_EQ(save.status, 403);
    const Reply again = Submit(unit_);
    EXPECT_EQ(again.status, 403);
    EXPECT_EQ(again.Json()["error"], "项目已处于“已上报”状态，不能再次上报。");
}

TEST_F(ProjectSubmit, TheOfficeCannotSubmitForAUnit) {
    for (const char* name : {"clerk", "admin"}) {
        SCOPED_TRACE(name);
        const BrowserSession office = Login(name, std::string(name) + "-password");
        const Reply reply = Submit(office);
        EXPECT_EQ(reply.status, 403);
        EXPECT_EQ(reply.Json()["error"], "只有填报单位可以上报本单位的项目。");
    }
    EXPECT_EQ(State(), "未填报");
}

TEST_F(ProjectSubmit, AnotherUnitsProjectIsAMissingOne) {
    AddDemoProject("201300000002", "乙单位");
    const Reply other = Submit(unit_, "201300000002");
    const Reply missing = Submit(unit_, "201300000003");
    EXPECT_EQ(other.status, 404);
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(other.Json()["error"], "没有编号为“201300000002”的项目。");
    EXPECT_EQ(missing.Json()["error"], "没有编号为“201300000003”的项目。");
}

struct Transition {
    std::string name;
    ProjectState from;
    int status;
    std::string state_after;
};

void PrintTo(const Transition& t, std::ostream* out) { *out << t.name; }

const Transition kTransitions[] = {
    {"FromNotStarted", ProjectState::NotStarted, 200, "已上报"},
    {"FromDrafting", ProjectState::Drafting, 200, "已上报"},
    {"FromReturned", ProjectState::Returned, 200, "已上报"},
    {"FromSubmitted", ProjectState::Submitted, 403, "已上报"},
    {"FromApproved", ProjectState::Approved, 403, "已审核"},
};

class ProjectSubmitStates : public ProjectSubmit,
                            public ::testing::WithParamInterface<Transition> {};

TEST_P(ProjectSubmitStates, OnlyFromAStateTheUnitMayEdit) {
    const Transition& t = GetParam();
    SetState(t.from);
    const Reply reply = Submit(unit_);
    EXPECT_EQ(reply.status, t.status) << reply.body;
    EXPECT_EQ(State(), t.state_after);
    if (t.status == 403) {
        EXPECT_NE(reply.Json()["error"].get<std::string>().find(
                      std::string(accounts::StateCaption(t.from))),
                  std::string::npos)
            << "names the state";
    }
}

INSTANTIATE_TEST_SUITE_P(States, ProjectSubmitStates, ::testing::ValuesIn(kTransitions),
                         NameMember());

}  // namespace
}  // namespace zorbix::testing

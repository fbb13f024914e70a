// The office's review: returning a submitted project with comments and
// approving it, the state rules around both and submitting, what the unit
// and the office see afterwards, and the history lines of every step.
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
const std::string kPath = std::string("/api/projects/") + kProject;
const std::string kReturnBody = R"({"comment":"请核实经费","fields":{"JB22":"数额有误"}})";

class Review : public ServerFixture {
protected:
    Review() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("admin", Role::Admin, "", "admin-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddDemoProject(kProject, "甲单位");
        sessions_[Role::Unit] = Login("unit", "unit-password");
        sessions_[Role::Clerk] = Login("clerk", "clerk-password");
        sessions_[Role::Admin] = Login("admin", "admin-password");
    }

    const BrowserSession& As(Role role) { return sessions_.at(role); }
    void SetState(ProjectState state) {
        store_.With([&](server::StoreParts& parts) { parts.states.SetState(kProject, state); });
    }
    json Project(Role role) { return Call("GET", kPath, &As(role)).Json(); }
    Reply Return(Role role, const std::string& body = kReturnBody) {
        return Call("POST", kPath + "/return", &As(role), body);
    }
    Reply Approve(Role role, const std::string& body = "") {
        return Call("POST", kPath + "/approve", &As(role), body);
    }
    Reply Submit(Role role) { return Call("POST", kPath + "/submit", &As(role)); }

    std::map<Role, BrowserSession> sessions_;
};

enum class Step { Submit, Return, ReturnWithoutComment, Approve };

struct StateRule {
    std::string name;
    Role who;
    Step step;
    ProjectState from;
    int status;
    std::string state_after;
};

void PrintTo(const StateRule& rule, std::ostream* out) { *out << rule.name; }

const StateRule kStateRules[] = {
    {"UnitSubmitsADraft", Role::Unit, Step::Submit, ProjectState::Drafting, 200, "已上报"},
    {"UnitResubmitsAReturnedProject", Role::Unit, Step::Submit, ProjectState::Returned, 200,
     "已上报"},
    {"UnitCannotSubmitAnApprovedProject", Role::Unit, Step::Submit, ProjectState::Approved, 403,
     "已审核"},
    {"UnitCannotSubmitTwice", Role::Unit, Step::Submit, ProjectState::Submitted, 403, "已上报"},
    {"ClerkCannotSubmit", Role::Clerk, Step::Submit, ProjectState::Drafting, 403, "填报中"},
    {"ClerkReturnsASubmittedProject", Role::Clerk, Step::Return, ProjectState::Submitted, 200,
     "退回修改"},
    {"AdminReturnsASubmittedProject", Role::Admin, Step::Return, ProjectState::Submitted, 200,
     "退回修改"},
    {"ClerkApprovesASubmittedProject", Role::Clerk, Step::Approve, ProjectState::Submitted, 200,
     "已审核"},
    {"AdminApprovesASubmittedProject", Role::Admin, Step::Approve, ProjectState::Submitted, 200,
     "已审核"},
    {"ClerkCannotApproveAShell", Role::Clerk, Step::Approve, ProjectState::NotStarted, 422,
     "未填报"},
    {"ClerkCannotApproveADraft", Role::Clerk, Step::Approve, ProjectState::Drafting, 422, "填报中"},
    {"ClerkCannotApproveAReturnedProject", Role::Clerk, Step::Approve, ProjectState::Returned, 422,
     "退回修改"},
    {"ClerkCannotApproveTwice", Role::Clerk, Step::Approve, ProjectState::Approved, 422, "已审核"},
    {"ClerkCannotReturnAShell", Role::Clerk, Step::Return, ProjectState::NotStarted, 422, "未填报"},
    {"ClerkCannotReturnADraft", Role::Clerk, Step::Return, ProjectState::Drafting, 422, "填报中"},
    {"ClerkCannotReturnAnApprovedProject", Role::Clerk, Step::Return, ProjectState::Approved, 422,
     "已审核"},
    {"AReturnNeedsAComment", Role::Clerk, Step::ReturnWithoutComment, ProjectState::Submitted, 400,
     "已上报"},
    {"UnitCannotReturn", Role::Unit, Step::Return, ProjectState::Submitted, 403, "已上报"},
    {"UnitCannotApprove", Role::Unit, Step::Approve, ProjectState::Submitted, 403, "已上报"},
};

class ReviewStateRules : public Review, public ::testing::WithParamInterface<StateRule> {
protected:
    Reply Take(const StateRule& rule) {
        switch (rule.step) {
            case Step::Submit: return Submit(rule.who);
            case Step::Return: return Return(rule.who);
            case Step::ReturnWithoutComment:
                return Return(rule.who, R"({"comment":"  ","fields":{}})");
            case Step::Approve: return Approve(rule.who);
        }
        return {};
    }
};

TEST_P(ReviewStateRules, StepFromState) {
    const StateRule& rule = GetParam();
    SetState(rule.from);
    const Reply reply = Take(rule);
    EXPECT_EQ(reply.status, rule.status) << reply.body;
    if (rule.status != 200) {
        const std::string message = reply.Json().value("error", "");
        EXPECT_FALSE(message.empty()) << reply.body;
        EXPECT_EQ(message.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos)
            << "a message in Chinese: " << message;
    } else {
        EXPECT_EQ(reply.Json()["state"], rule.state_after);
    }
    EXPECT_EQ(Project(Role::Clerk)["state"], rule.state_after);
}

INSTANTIATE_TEST_SUITE_P(Rules, ReviewStateRules, ::testing::ValuesIn(kStateRules), NameMember());

TEST_F(Review, TheUnitSeesTheCommentsBesideItsFields) {
    SetState(ProjectState::Submitted);
    ASSERT_EQ(Return(Role::Clerk).status, 200);
    const json comments = Project(Role::Unit)["comments"];
    EXPECT_EQ(comments["project"], "请核实经费");
    EXPECT_EQ(comments["fields"], (json{{"JB22", "数额有误"}}));
    EXPECT_EQ(Project(Role::Clerk)["comments"], comments);
}

TEST_F(Review, AProjectNeverReturnedHasEmptyComments) {
    EXPECT_EQ(Project(Role::Unit)["comments"], (json{{"project", ""}, {"fields", json::object()}}));
    EXPECT_FALSE(Project(Role::Unit).contains("changed_since_return"));
    EXPECT_EQ(Project(Role::Clerk)["changed_since_return"], json::array());
}

TEST_F(Review, ACommentOnAnUnknownColumnIsRefused) {
    SetState(ProjectState::Submitted);
    const Reply reply = Return(Role::Clerk, R"({"comment":"请修改","fields":{"XX99":"?"}})");
    EXPECT_EQ(reply.status, 400) << reply.body;
    EXPECT_NE(reply.Json()["error"].get<std::string>().find("XX99"), std::string::npos);
    EXPECT_EQ(Project(Role::Clerk)["state"], "已上报");
}

TEST_F(Review, EveryStepIsInTheHistoryWithWhoAndTheComment) {
    SetState(ProjectState::Submitted);
    const std::int64_t version = VersionOf(kProject, As(Role::Clerk));
    ASSERT_EQ(Return(Role::Clerk).status, 200);
    EXPECT_EQ(VersionOf(kProject, As(Role::Clerk)), version) << "no change of the values";
    const json lines = Call("GET", kPath + "/history", &As(Role::Unit)).Json()["history"];
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0]["operation"], "网页退回");
    EXPECT_EQ(lines[0]["column"], "审核意见");
    EXPECT_EQ(lines[0]["new"], "请核实经费\nJB22：数额有误");
    EXPECT_EQ(lines[0]["who"], "clerk");
    EXPECT_EQ(lines[1]["column"], "填报状态");
    EXPECT_EQ(lines[1]["old"], "已上报");
    EXPECT_EQ(lines[1]["new"], "退回修改");
    EXPECT_EQ(lines[1]["who"], "clerk");
    EXPECT_EQ(lines[1]["time"].get<std::string>().size(), 19u);

    ASSERT_EQ(Submit(Role::Unit).status, 200);
    ASSERT_EQ(Approve(Role::Admin, R"({"comment":"同意"})").status, 200);
    const json after = Call("GET", kPath + "/history", &As(Role::Clerk)).Json()["history"];
    EXPECT_EQ(after[0]["operation"], "网页审核");
    EXPECT_EQ(after[0]["new"], "同意");
    EXPECT_EQ(after[1]["new"], "已审核");
    EXPECT_EQ(after[1]["who"], "admin");
}

TEST_F(Review, AfterAReturnTheUnitEditsAndTheOfficeSeesWhatChanged) {
    SetState(ProjectState::Submitted);
    ASSERT_EQ(Return(Role::Clerk).status, 200);
    EXPECT_EQ(Project(Role::Clerk)["changed_since_return"], json::array());
    ASSERT_EQ(SaveFresh(As(Role::Unit), kProject, {{"JB01", "改过的项目名称"}}).status, 200);
    EXPECT_EQ(Project(Role::Unit)["state"], "退回修改");
    ASSERT_EQ(Submit(Role::Unit).status, 200);

    const json seen = Project(Role::Clerk);
    EXPECT_EQ(seen["state"], "已上报");
    EXPECT_EQ(seen["changed_since_return"], json::array({"JB01"}));
    EXPECT_FALSE(Project(Role::Unit).contains("changed_since_return"));
}

TEST_F(Review, ANewReturnReplacesTheComments) {
    SetState(ProjectState::Submitted);
    ASSERT_EQ(Return(Role::Clerk).status, 200);
    ASSERT_EQ(Submit(Role::Unit).status, 200);
    ASSERT_EQ(Return(Role::Clerk, R"({"comment":"再核实"})").status, 200);
    EXPECT_EQ(Project(Role::Unit)["comments"],
              (json{{"project", "再核实"}, {"fields", json::object()}}));
}

}  // namespace
}  // namespace zorbix::testing

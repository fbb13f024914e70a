// Who may call what: every call of the API for every role and anonymous
// callers, on the caller's own project, another unit's and a missing one.
// A unit must not tell another unit's project from a missing number, and
// nothing changes without the session's CSRF token.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "report/report_files.h"
#include "tests/server/server_fixture.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::Role;

enum class Who { Anonymous, Unit, Clerk, Admin };
enum class Target { Own, OtherUnits, Missing };

constexpr Who kEveryone[] = {Who::Anonymous, Who::Unit, Who::Clerk, Who::Admin};
constexpr Target kTargets[] = {Target::Own, Target::OtherUnits, Target::Missing};

const std::map<Who, std::string> kWhoNames = {{Who::Anonymous, "anonymous"},
                                              {Who::Unit, "unit"},
                                              {Who::Clerk, "clerk"},
                                              {Who::Admin, "admin"}};
const std::map<Target, std::string> kTargetNames = {
    {Target::Own, "own project"},
    {Target::OtherUnits, "another unit's project"},
    {Target::Missing, "missing project"},
};

const std::map<Target, std::string> kNumbers = {
    {Target::Own, "201300000001"},
    {Target::OtherUnits, "201300000002"},
    {Target::Missing, "201300000099"},
};

struct ApiCall {
    std::string name;
    std::string method;
    std::string path;         // "{n}" stands for a project number
    std::string body;         // "{new}" stands for a number not yet stored
    int reached;              // the status when the caller may make the call
    int office = 0;           // what a clerk or an administrator gets instead, if not `reached`
    int unit = 0;             // what a unit gets instead on any project, if not `reached`
    bool admin_only = false;  // a clerk and a unit get 403
};

void PrintTo(const ApiCall& call, std::ostream* out) { *out << call.name; }

const ApiCall kCalls[] = {
    {"Logout", "POST", "/api/logout", "", 200},
    {"Password", "POST", "/api/password", R"({"old":"not-it","new":"whatever-new"})", 400},
    {"Catalogue", "GET", "/api/catalogue", "", 200},
    {"ProjectList", "GET", "/api/projects", "", 200},
    {"AddProject", "POST", "/api/projects", R"({"number":"{new}"})", 201},
    {"GetProject", "GET", "/api/projects/{n}", "", 200},
    {"SaveProject", "PUT", "/api/projects/{n}", R"({"version":{version},"values":{"JB03":"x"}})",
     200},
    {"Findings", "GET", "/api/projects/{n}/findings", "", 200},
    {"History", "GET", "/api/projects/{n}/history", "", 200},
    {"Report", "GET", "/api/projects/{n}/report", "", 200},
    {"Exchange", "GET", "/api/projects/{n}/exchange", "", 200},
    // An empty project fails the rules; submitting is the unit's alone.
    {"Submit", "POST", "/api/projects/{n}/submit", "", 422, 403},
    // An empty project has not been submitted; reviewing is the office's alone.
    {"Return", "POST", "/api/projects/{n}/return", R"({"comment":"请修改"})", 422, 0, 403},
    {"Approve", "POST", "/api/projects/{n}/approve", "", 422, 0, 403},
    // Not a workbook: refused by the plan's reader once the caller may load one.
    {"Plan", "POST", "/api/plan", "not a workbook", 400, 0, 403},
    {"Progress", "GET", "/api/progress", "", 200, 0, 403},
    {"MissingUnits", "GET", "/api/progress/missing.xlsx", "", 200, 0, 403},
    // No plan is loaded.
    {"Reconcile", "GET", "/api/reconcile", "", 422, 0, 403},
    {"AccountList", "GET", "/api/accounts", "", 200, 0, 0, true},
    {"AddAccount", "POST", "/api/accounts", R"({"name":"{new}","role":"clerk"})", 201, 0, 0, true},
    {"Units", "POST", "/api/units", "not a workbook", 400, 0, 0, true},
    // Not an exchange file: refused by append once the caller may append.
    {"AppendExchange", "POST", "/api/exchange", "not an exchange file", 422, 0, 403},
    {"CheckAll", "POST", "/api/check", "", 200, 0, 403},
    // The test's program directory holds no summary templates.
    {"Summaries", "GET", "/api/summaries", "", 503, 0, 403},
    // No plan is loaded.
    {"ReconcileWorkbook", "GET", "/api/reconcile.xlsx", "", 422, 0, 403},
    {"ExportList", "GET", "/api/export", "", 200, 0, 403},
    {"Runs", "GET", "/api/runs", "", 200, 0, 403},
    {"BackupList", "GET", "/api/backups", "", 200, 0, 0, true},
    {"BackUp", "POST", "/api/backups", "{}", 200, 0, 0, true},
    {"Restore", "POST", "/api/backups/zorbix2013-20131205-143012-备份.db/restore", "", 404, 0, 0,
     true},
};

std::string Replaced(std::string text, const std::string& mark, const std::string& by) {
    for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
    return text;
}

int Expected(const ApiCall& call, Who who, Target target) {
    if (who == Who::Anonymous) return 401;
    if (call.admin_only && who != Who::Admin) return 403;
    if (who != Who::Unit && call.office) return call.office;
    if (who == Who::Unit && call.unit) return call.unit;
    if (call.path.find("{n}") == std::string::npos) return call.reached;
    if (target == Target::Missing) return 404;
    if (target == Target::OtherUnits && who == Who::Unit) return 404;
    return call.reached;
}

class Authorization : public ServerFixture, public ::testing::WithParamInterface<ApiCall> {
protected:
    Authorization() {
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("admin", Role::Admin, "", "admin-password");
        std::filesystem::copy_file(std::filesystem::u8path(ZORBIX_REPORT_TEMPLATE),
                                   report::TemplatePath(dir_.path()));
        AddProject(kNumbers.at(Target::Own), "甲单位");
        AddProject(kNumbers.at(Target::OtherUnits), "乙单位");
        sessions_[Who::Unit] = Login("unit", "unit-password");
        sessions_[Who::Clerk] = Login("clerk", "clerk-password");
        sessions_[Who::Admin] = Login("admin", "admin-password");
    }

    Reply Make(const ApiCall& call, Who who, Target target) {
        const std::string path = Replaced(call.path, "{n}", kNumbers.at(target));
        std::string body =
            Replaced(call.body, "{new}", "2013000001" + std::to_string(10 + next_new_++));
        if (body.find("{version}") != std::string::npos)
            body = Replaced(body, "{version}",
                            std::to_string(VersionOf(kNumbers.at(target), sessions_[Who::Clerk])));
        const auto session = sessions_.find(who);
        return Call(call.method, path, session == sessions_.end() ? nullptr : &session->second,
                    body, with_csrf);
    }

    bool with_csrf = true;

    std::map<Who, BrowserSession> sessions_;
    int next_new_ = 0;
};

TEST_P(Authorization, EveryRoleOnEveryKindOfProject) {
    const ApiCall& call = GetParam();
    const bool per_project = call.path.find("{n}") != std::string::npos;
    for (Who who : kEveryone) {
        std::map<Target, Reply> replies;
        for (Target target : kTargets) {
            if (!per_project && target != Target::Own) continue;
            SCOPED_TRACE(kWhoNames.at(who) + " on " + kTargetNames.at(target));
            replies[target] = Make(call, who, target);
            EXPECT_EQ(replies[target].status, Expected(call, who, target)) << replies[target].body;
            EXPECT_TRUE(replies[target].Json().is_object()) << replies[target].body;
        }
        if (per_project && who == Who::Unit) {
            // The same answer, but for the number asked about.
            const auto body_of = [&](Target target) {
                return Replaced(replies[target].body, kNumbers.at(target), "N");
            };
            EXPECT_EQ(body_of(Target::OtherUnits), body_of(Target::Missing));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Calls, Authorization, ::testing::ValuesIn(kCalls), NameMember());

std::vector<ApiCall> ChangingCalls() {
    std::vector<ApiCall> calls;
    for (const ApiCall& call : kCalls)
        if (call.method != "GET") calls.push_back(call);
    return calls;
}

class AuthorizationCsrf : public Authorization {};

TEST_P(AuthorizationCsrf, ChangingCallsNeedTheSessionsToken) {
    with_csrf = false;
    for (Who who : {Who::Unit, Who::Clerk}) {
        SCOPED_TRACE(kWhoNames.at(who));
        const Reply reply = Make(GetParam(), who, Target::Own);
        EXPECT_EQ(reply.status, 403) << reply.body;
        EXPECT_NE(reply.Json().value("error", "").find("X-CSRF-Token"), std::string::npos)
            << reply.body;
    }
}

INSTANTIATE_TEST_SUITE_P(Calls, AuthorizationCsrf, ::testing::ValuesIn(ChangingCalls()),
                         NameMember());
}  // namespace
}  // namespace zorbix::testing

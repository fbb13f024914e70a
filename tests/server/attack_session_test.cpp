// Attacks on sessions: changing calls with a missing, empty or borrowed
// CSRF token change nothing; a cookie planted before login is never
// adopted; a session ends with logout and, for the account's other
// browsers, with a change of password.
#include <gtest/gtest.h>

#include "tests/server/raw_request.h"
#include "tests/server/server_fixture.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::Role;

const std::string kOwn = "201300000001";

struct ChangingCall {
    std::string name;
    std::string method;
    std::string path;
    std::string body;
};

const ChangingCall kChangingCalls[] = {
    {"Save", "PUT", "/api/projects/" + kOwn, R"({"version":1,"values":{"JB01":"改了"}})"},
    {"AddProject", "POST", "/api/projects", R"({"number":"201300000555"})"},
    {"Submit", "POST", "/api/projects/" + kOwn + "/submit", ""},
    {"Return", "POST", "/api/projects/" + kOwn + "/return", R"({"comment":"请修改"})"},
    {"Approve", "POST", "/api/projects/" + kOwn + "/approve", ""},
    {"Password", "POST", "/api/password", R"({"old":"admin-password","new":"taken-over-1"})"},
    {"Logout", "POST", "/api/logout", ""},
    {"AddAccount", "POST", "/api/accounts", R"({"name":"intruder","role":"admin"})"},
    {"Plan", "POST", "/api/plan", "not a workbook"},
    {"Units", "POST", "/api/units", "not a workbook"},
};

struct TokenCase {
    TokenCase(std::string name_, bool send_, bool others_ = false, std::string token_ = "")
        : name(std::move(name_)), send(send_), others(others_), token(std::move(token_)) {}

    std::string name;
    bool send;
    bool others;        // the token of another session
    std::string token;  // else this text
};

const TokenCase kTokens[] = {
    {"NoToken", false},
    {"EmptyToken", true, false, ""},
    {"AnotherSessionsToken", true, true},
    {"Garbage", true, false, "' OR '1'='1"},
    {"AllZeros", true, false, std::string(64, '0')},
};

struct AttackCase {
    ChangingCall call;
    TokenCase token;
    std::string name;
};

void PrintTo(const AttackCase& c, std::ostream* out) { *out << c.name; }

std::vector<AttackCase> AttackCases() {
    std::vector<AttackCase> cases;
    for (const auto& call : kChangingCalls)
        for (const auto& token : kTokens) cases.push_back({call, token, call.name + token.name});
    return cases;
}

class SessionAttack : public ServerFixture {
protected:
    SessionAttack() {
        AddAccount("admin", Role::Admin, "", "admin-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddDemoProject(kOwn, "甲单位");
        admin_ = Login("admin", "admin-password");
        unit_ = Login("unit", "unit-password");
        // Submitted, so that a return or an approval would go through.
        EXPECT_EQ(Call("POST", "/api/projects/" + kOwn + "/submit", &unit_).status, 200);
    }

    // Everything a changing call could alter, as the administrator sees it.
    std::string StoreSnapshot() {
        return Call("GET", "/api/projects", &admin_).body +
               Call("GET", "/api/projects/" + kOwn, &admin_).body +
               Call("GET", "/api/projects/" + kOwn + "/history", &admin_).body +
               Call("GET", "/api/accounts", &admin_).body;
    }

    RawReply Attack(const ChangingCall& call, const TokenCase& token) {
        RawRequest request;
        request.method = call.method;
        request.target = call.path;
        request.cookie = admin_.cookie;
        request.send_csrf = token.send;
        request.csrf = token.others ? unit_.csrf : token.token;
        request.body = call.body;
        return SendRaw(port_, request);
    }

    BrowserSession admin_;
    BrowserSession unit_;
};

class WithoutTheToken : public SessionAttack, public ::testing::WithParamInterface<AttackCase> {};

TEST_P(WithoutTheToken, IsRefusedAndChangesNothing) {
    const std::string before = StoreSnapshot();
    const RawReply reply = Attack(GetParam().call, GetParam().token);
    EXPECT_EQ(reply.status, 403) << reply.body;
    EXPECT_NE(reply.body.find("X-CSRF-Token"), std::string::npos) << reply.body;
    EXPECT_EQ(StoreSnapshot(), before);
    EXPECT_EQ(Call("GET", "/api/catalogue", &admin_).status, 200) << "the session was ended";
    EXPECT_EQ(LoginReply("admin", "admin-password").status, 200) << "the password changed";
}

INSTANTIATE_TEST_SUITE_P(Calls, WithoutTheToken, ::testing::ValuesIn(AttackCases()), NameMember());

std::string TokenOf(const std::string& cookie) {
    return cookie.substr(cookie.find('=') + 1, cookie.find(';') - cookie.find('=') - 1);
}

TEST_F(SessionAttack, ACookiePlantedBeforeLoginIsNeverAdopted) {
    const std::string planted = "zorbix_session=" + std::string(64, 'a');
    const RawRequest login = RawRequest()
                                 .Method("POST")
                                 .Target("/api/login")
                                 .Cookie(planted)
                                 .WithoutCsrf()
                                 .Body(R"({"name":"unit","password":"unit-password"})");
    const RawReply reply = SendRaw(port_, login);
    ASSERT_EQ(reply.status, 200) << reply.body;
    const std::string issued = reply.Header("set-cookie");
    EXPECT_NE(TokenOf(issued), std::string(64, 'a'));
    const BrowserSession planted_session{planted, nlohmann::json::parse(reply.body)["csrf"]};
    EXPECT_EQ(Call("GET", "/api/projects", &planted_session).status, 401);
}

TEST_F(SessionAttack, AnAttackersLiveSessionIsNotTurnedIntoTheVictims) {
    AddAccount("other", Role::Unit, "乙单位", "other-password");
    const BrowserSession attacker = Login("other", "other-password");
    const RawRequest login = RawRequest()
                                 .Method("POST")
                                 .Target("/api/login")
                                 .Cookie(attacker.cookie)
                                 .WithoutCsrf()
                                 .Body(R"({"name":"unit","password":"unit-password"})");
    const RawReply reply = SendRaw(port_, login);
    ASSERT_EQ(reply.status, 200) << reply.body;
    EXPECT_NE("zorbix_session=" + TokenOf(reply.Header("set-cookie")), attacker.cookie);
    // The attacker's cookie still reaches only the attacker's own unit.
    EXPECT_EQ(Call("GET", "/api/projects/" + kOwn, &attacker).status, 404);
    EXPECT_EQ(Call("GET", "/api/projects", &attacker).Json()["projects"].size(), 0u);
}

TEST_F(SessionAttack, ASessionIsDeadAfterLogout) {
    const BrowserSession stolen = unit_;
    ASSERT_EQ(Call("POST", "/api/logout", &unit_).status, 200);
    EXPECT_EQ(Call("GET", "/api/projects", &stolen).status, 401);
    EXPECT_EQ(Call("PUT", "/api/projects/" + kOwn, &stolen, R"({"version":1,"values":{}})").status,
              401);
    EXPECT_EQ(Call("POST", "/api/logout", &stolen).status, 401);
}

TEST_F(SessionAttack, AChangeOfPasswordEndsTheAccountsOtherSessionsOnly) {
    const BrowserSession stolen = Login("unit", "unit-password");
    const Reply changed =
        Call("POST", "/api/password", &unit_, R"({"old":"unit-password","new":"a-new-password"})");
    ASSERT_EQ(changed.status, 200) << changed.body;
    EXPECT_EQ(Call("GET", "/api/projects", &stolen).status, 401);
    EXPECT_EQ(Call("POST", "/api/logout", &stolen).status, 401);
    EXPECT_EQ(Call("GET", "/api/projects", &unit_).status, 200) << "the changer's own session";
    EXPECT_EQ(Call("GET", "/api/projects", &admin_).status, 200) << "another account's session";
    EXPECT_EQ(LoginReply("unit", "unit-password").status, 401);
    EXPECT_EQ(LoginReply("unit", "a-new-password").status, 200);
}

}  // namespace
}  // namespace zorbix::testing

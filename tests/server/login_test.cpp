// Logging in and out, changing the password, sessions, CSRF tokens, the
// headers of every answer and the request log.
#include <gtest/gtest.h>

#include "accounts/session_book.h"
#include "server/security_headers.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::Role;

class LoginCalls : public ServerFixture {
protected:
    LoginCalls() { AddAccount("clerk", Role::Clerk, "", "clerk-password"); }

    nlohmann::json PasswordBody(const std::string& old_password, const std::string& new_password) {
        return {{"old", old_password}, {"new", new_password}};
    }
};

TEST_F(LoginCalls, ARightPasswordOpensASessionInAnHttpOnlyStrictCookie) {
    const Reply reply = LoginReply("clerk", "clerk-password");
    ASSERT_EQ(reply.status, 200) << reply.body;
    const auto answer = reply.Json();
    EXPECT_EQ(answer["name"], "clerk");
    EXPECT_EQ(answer["role"], "clerk");
    EXPECT_EQ(answer["unit"], "");
    EXPECT_EQ(answer["must_change_password"], false);
    EXPECT_EQ(answer["csrf"].get<std::string>().size(), 64u);
    const std::string cookie = reply.Header("Set-Cookie");
    EXPECT_EQ(cookie.rfind("zorbix_session=", 0), 0u) << cookie;
    EXPECT_NE(cookie.find("; HttpOnly"), std::string::npos) << cookie;
    EXPECT_NE(cookie.find("; SameSite=Strict"), std::string::npos) << cookie;
    EXPECT_EQ(cookie.find("Secure"), std::string::npos) << "plain HTTP on loopback";
}

TEST_F(LoginCalls, AWrongPasswordAndAnUnknownNameGetTheSameAnswer) {
    const Reply wrong = LoginReply("clerk", "not-the-password");
    const Reply unknown = LoginReply("nobody", "not-the-password");
    EXPECT_EQ(wrong.status, 401);
    EXPECT_EQ(wrong.Json()["error"], "账户名或密码不正确。");
    EXPECT_EQ(unknown.status, wrong.status);
    EXPECT_EQ(unknown.body, wrong.body);
    EXPECT_EQ(wrong.Header("Set-Cookie"), "");
}

TEST_F(LoginCalls, MalformedLoginsAreBadInput) {
    EXPECT_EQ(Call("POST", "/api/login", nullptr, "{\"name\":\"clerk\"}").status, 400);
    EXPECT_EQ(Call("POST", "/api/login", nullptr, "not json").status, 400);
    EXPECT_EQ(Call("POST", "/api/login", nullptr, "[1,2]").status, 400);
    EXPECT_EQ(Call("POST", "/api/login", nullptr, "{\"name\":1,\"password\":\"x\"}").status, 400);
    httplib::Client client("127.0.0.1", port_);
    const auto form = client.Post("/api/login", "name=clerk&password=clerk-password",
                                  "application/x-www-form-urlencoded");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->status, 400) << "only JSON, which a form of another site cannot send";
}

TEST_F(LoginCalls, RepeatedFailuresMakeEvenTheRightPasswordWait) {
    for (int i = 0; i < 5; ++i) EXPECT_EQ(LoginReply("clerk", "wrong-password").status, 401);
    const Reply throttled = LoginReply("clerk", "clerk-password");
    EXPECT_EQ(throttled.status, 429);
    EXPECT_EQ(throttled.Json()["error"], "登录失败次数过多，请在30秒后再试。");
    EXPECT_EQ(throttled.Header("Retry-After"), "30");
    now_ += 30;
    EXPECT_EQ(LoginReply("clerk", "clerk-password").status, 200);
}

TEST_F(LoginCalls, LogoutEndsTheSessionOnTheServer) {
    const BrowserSession session = Login("clerk", "clerk-password");
    ASSERT_EQ(Call("GET", "/api/catalogue", &session).status, 200);
    const Reply out = Call("POST", "/api/logout", &session);
    EXPECT_EQ(out.status, 200);
    EXPECT_NE(out.Header("Set-Cookie").find("Max-Age=0"), std::string::npos);
    const Reply after = Call("GET", "/api/catalogue", &session);
    EXPECT_EQ(after.status, 401);
    EXPECT_EQ(after.Json()["error"], "尚未登录或登录已过期，请重新登录。");
}

TEST_F(LoginCalls, SessionsExpireWhenIdleAndWithAge) {
    BrowserSession session = Login("clerk", "clerk-password");
    now_ += accounts::kIdleSeconds + 1;
    EXPECT_EQ(Call("GET", "/api/catalogue", &session).status, 401);

    session = Login("clerk", "clerk-password");
    for (int i = 0; i < 12 * 4; ++i) {
        now_ += 15 * 60;
        ASSERT_EQ(Call("GET", "/api/catalogue", &session).status, 200) << i;
    }
    now_ += 1;
    EXPECT_EQ(Call("GET", "/api/catalogue", &session).status, 401);
}

TEST_F(LoginCalls, ChangingRequestsNeedTheSessionsCsrfToken) {
    const BrowserSession session = Login("clerk", "clerk-password");
    const Reply without = Call("POST", "/api/logout", &session, "", false);
    EXPECT_EQ(without.status, 403);
    EXPECT_EQ(without.Json()["error"],
              "请求缺少有效的安全令牌（X-CSRF-Token），请重新登录后再试。");
    BrowserSession wrong = session;
    wrong.csrf = std::string(64, '0');
    EXPECT_EQ(Call("POST", "/api/logout", &wrong).status, 403);
    EXPECT_EQ(Call("GET", "/api/catalogue", &session).status, 200) << "still logged in";
}

TEST_F(LoginCalls, AOneTimePasswordMustBeChangedBeforeAnythingElse) {
    AddAccount("unit", Role::Unit, "甲单位", "first-password");
    store_.With([](server::StoreParts& parts) {
        auto account = parts.accounts.Find("unit");
        parts.accounts.SetPassword("unit", account->password_hash, true);
    });
    const BrowserSession elsewhere = Login("unit", "first-password");
    const Reply reply = LoginReply("unit", "first-password");
    ASSERT_EQ(reply.Json()["must_change_password"], true);
    const std::string cookie = reply.Header("Set-Cookie");
    const BrowserSession session{cookie.substr(0, cookie.find(';')), reply.Json()["csrf"]};

    const Reply blocked = Call("GET", "/api/catalogue", &session);
    EXPECT_EQ(blocked.status, 403);
    EXPECT_EQ(blocked.Json()["error"], "请先修改一次性密码，然后再继续。");

    const auto change = [&](const std::string& old_password, const std::string& new_password) {
        return Call("POST", "/api/password", &session,
                    PasswordBody(old_password, new_password).dump());
    };
    EXPECT_EQ(change("first-password", "short").Json()["error"], "密码至少需要8个字符。");
    EXPECT_EQ(change("wrong-password", "a-new-password").Json()["error"], "原密码不正确。");
    EXPECT_EQ(change("first-password", "first-password").Json()["error"],
              "新密码不能与原密码相同。");
    const Reply changed = change("first-password", "a-new-password");
    EXPECT_EQ(changed.status, 200) << changed.body;

    EXPECT_EQ(Call("GET", "/api/catalogue", &session).status, 200);
    EXPECT_EQ(Call("GET", "/api/catalogue", &elsewhere).status, 401)
        << "other sessions end with the old password";
    EXPECT_EQ(LoginReply("unit", "first-password").status, 401);
    EXPECT_EQ(LoginReply("unit", "a-new-password").Json()["must_change_password"], false);
}

TEST_F(LoginCalls, EveryAnswerCarriesTheSecurityHeaders) {
    const BrowserSession session = Login("clerk", "clerk-password");
    const Reply answers[] = {
        LoginReply("clerk", "wrong-password"),
        Call("GET", "/api/catalogue"),
        Call("GET", "/api/catalogue", &session),
        Call("GET", "/no/such/call"),
    };
    for (const Reply& reply : answers) {
        SCOPED_TRACE(reply.status);
        EXPECT_EQ(reply.Header("Content-Security-Policy"),
                  server::SecurityHeaders().find("Content-Security-Policy")->second);
        EXPECT_NE(reply.Header("Content-Security-Policy").find("script-src 'self'"),
                  std::string::npos);
        EXPECT_EQ(reply.Header("X-Content-Type-Options"), "nosniff");
        EXPECT_EQ(reply.Header("Strict-Transport-Security"), "") << "only over TLS";
        EXPECT_EQ(reply.Header("Content-Type"), "application/json; charset=utf-8");
        EXPECT_TRUE(reply.Json().is_object());
    }
    EXPECT_EQ(answers[3].status, 404);
    EXPECT_EQ(answers[3].Json()["error"], "没有这个调用。");
}

TEST_F(LoginCalls, TheLogHasOneLinePerRequestAndNoSecrets) {
    const BrowserSession session = Login("clerk", "clerk-password");
    Call("GET", "/api/catalogue?filter=secret-text", &session);
    const std::string log = StoppedLog();
    EXPECT_NE(log.find("POST /api/login 200 "), std::string::npos) << log;
    EXPECT_NE(log.find("GET /api/catalogue 200 "), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
    for (const std::string& secret :
         {std::string("clerk-password"), std::string("secret-text"), session.csrf,
          session.cookie.substr(session.cookie.find('=') + 1)})
        EXPECT_EQ(log.find(secret), std::string::npos) << secret;
}

}  // namespace
}  // namespace zorbix::testing

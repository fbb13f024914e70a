#include "server/auth_routes.h"

#include "accounts/password_rules.h"
#include "accounts/secrets.h"
#include "server/api_error.h"
#include "server/json_body.h"
#include "server/session_gate.h"

namespace zorbix::server {
namespace {

const std::string kWrongLogin = "账户名或密码不正确。";

// A hash to check unknown names against, so that a wrong name takes as
// long as a wrong password and does not tell which names exist.
const std::string& DecoyHash() {
    static const std::string hash = accounts::HashPassword(accounts::RandomToken());
    return hash;
}

void RefuseWhileThrottled(RouteContext& context, const std::string& name,
                          const httplib::Request& request, httplib::Response& response) {
    const std::int64_t wait = context.throttle.WaitSeconds(name, request.remote_addr);
    if (wait <= 0) return;
    response.set_header("Retry-After", std::to_string(wait));
    throw ApiError(429, "登录失败次数过多，请在" + std::to_string(wait) + "秒后再试。");
}

// The Argon2id checks run at the priority the server started with, not
// at the workers' lowered one. Each is a short piece of work someone
// waits for, and at most half the cores hash at once (for the 64 MB each
// takes), so a hash holds a turn others queue for: among hundreds of
// lowered workers it got so small a share of the cores that 200 units
// logging in at once waited over a minute for their turns.
bool PasswordMatches(RouteContext& context, const std::string& hash, const std::string& password) {
    return context.lane.Run([&] { return accounts::PasswordMatches(hash, password); });
}

std::string HashPassword(RouteContext& context, const std::string& password) {
    return context.lane.Run([&] { return accounts::HashPassword(password); });
}

Json LoginAnswer(const accounts::Account& account, const std::string& csrf) {
    return {{"name", account.name},
            {"role", accounts::RoleCode(account.role)},
            {"unit", account.unit},
            {"csrf", csrf},
            {"must_change_password", account.must_change_password}};
}

void Login(RouteContext& context, const httplib::Request& request, httplib::Response& response) {
    const Json body = ObjectBody(request);
    const std::string name = TextMember(body, "name");
    const std::string password = TextMember(body, "password");
    RefuseWhileThrottled(context, name, request, response);
    const auto account = context.store.With([&](StoreParts& p) { return p.accounts.Find(name); });
    // The slow hash check runs without the store's lock.
    if (!PasswordMatches(context, account ? account->password_hash : DecoyHash(), password) ||
        !account) {
        context.throttle.Failed(name, request.remote_addr);
        throw ApiError(401, kWrongLogin);
    }
    context.throttle.Succeeded(name);
    const auto opened =
        context.store.With([&](StoreParts& p) { return p.sessions.Open(account->name); });
    response.set_header("Set-Cookie", SessionCookie(opened.token, context.secure_cookies));
    SendJson(response, 200, LoginAnswer(*account, opened.csrf));
}

void Logout(RouteContext& context, const httplib::Request& request, httplib::Response& response) {
    context.store.With([&](StoreParts& p) {
        RequireCaller(p, request, true);
        p.sessions.Close(SessionToken(request));
    });
    response.set_header("Set-Cookie", ClearedSessionCookie(context.secure_cookies));
    SendJson(response, 200, Json::object());
}

void ChangePassword(RouteContext& context, const httplib::Request& request,
                    httplib::Response& response) {
    const Caller caller =
        context.store.With([&](StoreParts& p) { return RequireCaller(p, request, true); });
    const Json body = ObjectBody(request);
    const std::string old_password = TextMember(body, "old");
    const std::string new_password = TextMember(body, "new");
    RefuseWhileThrottled(context, caller.account.name, request, response);
    if (!PasswordMatches(context, caller.account.password_hash, old_password)) {
        // A taken-over session must not become a way to guess the password.
        context.throttle.Failed(caller.account.name, request.remote_addr);
        BadInput("原密码不正确。");
    }
    if (const auto problem = accounts::PasswordProblem(new_password)) BadInput(*problem);
    if (new_password == old_password) BadInput("新密码不能与原密码相同。");
    const std::string hash = HashPassword(context, new_password);
    context.store.With([&](StoreParts& p) {
        store::Transaction transaction(p.store.database());
        p.accounts.SetPassword(caller.account.name, hash, false);
        p.sessions.CloseOthers(caller.account.name, caller.session.digest);
        transaction.Commit();
    });
    SendJson(response, 200, Json{{"must_change_password", false}});
}

}  // namespace

void AddAuthRoutes(httplib::Server& http, RouteContext& context) {
    // Made now, so that the first unknown name takes no longer than later ones.
    DecoyHash();
    http.Post("/api/login", Guarded([&context](const auto& request, auto& response) {
                  Login(context, request, response);
              }));
    http.Post("/api/logout", Guarded([&context](const auto& request, auto& response) {
                  Logout(context, request, response);
              }));
    http.Post("/api/password", Guarded([&context](const auto& request, auto& response) {
                  ChangePassword(context, request, response);
              }));
}

}  // namespace zorbix::server

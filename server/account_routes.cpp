#include "server/account_routes.h"

#include "accounts/account_creation.h"
#include "server/api_error.h"
#include "server/long_run.h"
#include "server/project_access.h"
#include "server/unit_accounts.h"

namespace zorbix::server {
namespace {

Json AccountJson(const accounts::Account& account) {
    return {{"name", account.name},
            {"role", accounts::RoleCode(account.role)},
            {"role_caption", accounts::RoleCaption(account.role)},
            {"unit", account.unit},
            {"must_change_password", account.must_change_password}};
}

Json AccountListJson(StoreParts& parts, const Caller& caller) {
    RequireAdmin(caller);
    Json list = Json::array();
    for (const accounts::Account& account : parts.accounts.All())
        list.push_back(AccountJson(account));
    return {{"accounts", list}};
}

// One account with a one-time password, answered once, here.
Json AddAccount(StoreParts& parts, const Caller& caller, const Json& body) {
    RequireAdmin(caller);
    const accounts::NewAccount account = NewAccountOf(body);
    if (parts.accounts.Find(account.name))
        throw ApiError(409, "账户“" + account.name + "”已存在。");
    const std::string password = accounts::CreateAccount(parts.accounts, account);
    Json answer = AccountJson(*parts.accounts.Find(account.name));
    answer["one_time_password"] = password;
    return answer;
}

void AddUnitsRoute(RouteContext& context, const httplib::Request& request,
                   httplib::Response& response) {
    RequireAdminCaller(context, request);
    const Download workbook = InLongRun(context, "units", [&](RunStore& run, RunTicket&) {
        const auto rows = ReadUnitAccounts(request.body);
        accounts::AccountBook book(run.database());
        const auto made = MakeUnitAccounts(book, rows);
        // The one-time passwords live only in the workbook: accounts it
        // cannot hand out (a full disk) are taken back, so that sending the
        // upload again makes them anew instead of skipping them.
        try {
            return PasswordWorkbook(made);
        } catch (...) {
            RemoveMadeAccounts(book, made);
            throw;
        }
    });
    response.status = 200;
    response.set_header("Content-Disposition", workbook.disposition);
    response.set_content(workbook.bytes, workbook.content_type);
}

}  // namespace

accounts::NewAccount NewAccountOf(const Json& body) {
    const std::string role_code = TextMember(body, "role");
    const auto role = accounts::RoleFromCode(role_code);
    if (!role) BadInput("角色须为unit（填报单位）、clerk（审核员）或admin（管理员）。");
    const auto unit = body.find("unit");
    if (unit != body.end() && !unit->is_string() && !unit->is_null()) BadInput("“unit”须为文本。");
    accounts::NewAccount account{
        TextMember(body, "name"), *role,
        unit != body.end() && unit->is_string() ? unit->get<std::string>() : "", std::nullopt};
    if (const auto problem = accounts::AccountProblem(account)) BadInput(*problem);
    return account;
}

void AddAccountRoutes(httplib::Server& http, RouteContext& context) {
    http.Get("/api/accounts",
             Guarded(Answering(context, 200, [](StoreParts& p, const Caller& c, const auto&) {
                 return AccountListJson(p, c);
             })));
    http.Post("/api/accounts",
              Guarded(Answering(context, 201, [](StoreParts& p, const Caller& c, const auto& r) {
                  return AddAccount(p, c, ObjectBody(r));
              })));
    http.Post("/api/units", Guarded([&context](const auto& request, auto& response) {
                  AddUnitsRoute(context, request, response);
              }));
}

}  // namespace zorbix::server

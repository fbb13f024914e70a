// The batch command over the server's accounts: account add, list and
// remove. The server need not run; the accounts live in the store.
#include <unistd.h>

#include <iostream>
#include <ostream>

#include "accounts/account_book.h"
#include "accounts/account_creation.h"
#include "accounts/server_tables.h"
#include "app/cli/command.h"
#include "app/cli/escape.h"
#include "base/error.h"
#include "store/titles.h"

namespace zorbix::cli {
namespace {

std::string TakeName(Context& ctx, const char* what) {
    if (ctx.args.empty() || ctx.args.front().starts_with("--"))
        throw UsageError(std::string(what) + " 需要一个账户名。");
    std::string name = ctx.args.front();
    ctx.args.erase(ctx.args.begin());
    return name;
}

accounts::Role TakeRole(Context& ctx) {
    const auto code = ctx.TakeOption("--role");
    if (!code) throw UsageError("account add 需要 --role admin|clerk|unit。");
    const auto role = accounts::RoleFromCode(*code);
    if (!role) throw UsageError("未知角色：" + *code + "（应为 admin、clerk 或 unit）。");
    return *role;
}

// The password a script gives on standard input: its first line, without
// the line end, kept as given. nullopt on a terminal: a one-time password
// is made instead.
std::optional<std::string> PasswordFromInput() {
    if (::isatty(STDIN_FILENO)) return std::nullopt;
    std::string line;
    if (!std::getline(std::cin, line)) throw base::Failure("标准输入中没有密码（应为一行）。");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void Tell(Context& ctx, const std::string& text) {
    base::Inform(ctx.prompter, store::kProgramTitle, text, base::Icon::Exclamation);
}

int Add(Context& ctx, accounts::AccountBook& book) {
    accounts::NewAccount account;
    account.name = TakeName(ctx, "account add");
    account.role = TakeRole(ctx);
    account.unit = ctx.TakeOption("--unit").value_or("");
    ctx.NoMoreArguments();
    try {
        account.password = PasswordFromInput();
        const std::string one_time = accounts::CreateAccount(book, account);
        if (!one_time.empty())
            ctx.out << "账户“" << account.name << "”的一次性密码：" << one_time
                    << "（首次登录时须修改）\n";
        return ExitStatus(base::Outcome::Done);
    } catch (const base::Failure& failure) {
        Tell(ctx, failure.what());
        return ExitStatus(base::Outcome::Refused);
    }
}

int List(Context& ctx, accounts::AccountBook& book) {
    ctx.NoMoreArguments();
    for (const auto& account : book.All())
        ctx.out << Escape(account.name) << '\t' << accounts::RoleCode(account.role) << '\t'
                << Escape(account.unit) << '\t'
                << (account.must_change_password ? "须修改密码" : "") << '\n';
    return ExitStatus(base::Outcome::Done);
}

int Remove(Context& ctx, accounts::AccountBook& book) {
    const std::string name = TakeName(ctx, "account remove");
    ctx.NoMoreArguments();
    if (book.Remove(name)) return ExitStatus(base::Outcome::Done);
    Tell(ctx, "没有名为“" + name + "”的账户。");
    return ExitStatus(base::Outcome::Refused);
}

}  // namespace

int AccountCommand(Context& ctx) {
    if (ctx.args.empty()) throw UsageError("account 后面缺少 add、list 或 remove。");
    const std::string action = ctx.args.front();
    ctx.args.erase(ctx.args.begin());
    accounts::CreateServerTables(ctx.store.database());
    accounts::AccountBook book(ctx.store.database());
    if (action == "add") return Add(ctx, book);
    if (action == "list") return List(ctx, book);
    if (action == "remove") return Remove(ctx, book);
    throw UsageError("未知的 account 子命令：" + action);
}

}  // namespace zorbix::cli

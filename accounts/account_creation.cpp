#include "accounts/account_creation.h"

#include "accounts/password_rules.h"
#include "accounts/secrets.h"
#include "base/error.h"
#include "base/utf8.h"

namespace zorbix::accounts {
namespace {

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

void RequireNoProblem(const std::optional<std::string>& problem) {
    if (problem) throw base::Failure(*problem);
}

std::optional<std::string> UnitProblem(const NewAccount& account) {
    if (account.role == Role::Unit) {
        if (account.unit.empty()) return "填报单位的账户须指明所属单位。";
        return NameProblem("单位名称", account.unit);
    }
    if (!account.unit.empty())
        return "只有填报单位的账户属于某个单位，" + std::string(RoleCaption(account.role)) +
               "的账户不属于任何单位。";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> NameProblem(std::string_view what, std::string_view name) {
    const std::string w(what);
    if (name.empty()) return w + "不能为空。";
    if (!base::IsUtf8(name) || HasControlCharacter(name)) return w + "含有无效的字符。";
    if (name.front() == ' ' || name.back() == ' ') return w + "的开头和结尾不能是空格。";
    if (base::CharacterCount(name) > kMaxNameCharacters)
        return w + "最多" + std::to_string(kMaxNameCharacters) + "个字符。";
    return std::nullopt;
}

std::optional<std::string> AccountProblem(const NewAccount& account) {
    if (auto problem = NameProblem("账户名", account.name)) return problem;
    if (auto problem = UnitProblem(account)) return problem;
    if (account.password) return PasswordProblem(*account.password);
    return std::nullopt;
}

std::string CreateAccount(AccountBook& book, const NewAccount& account) {
    RequireNoProblem(AccountProblem(account));
    const std::string one_time = account.password ? "" : MakeOneTimePassword();
    Account stored{account.name, HashPassword(account.password.value_or(one_time)), account.role,
                   account.unit, !account.password};
    if (!book.Insert(stored)) throw base::Failure("账户“" + account.name + "”已存在。");
    return one_time;
}

}  // namespace zorbix::accounts

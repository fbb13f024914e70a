// Making, reading and removing accounts.
#include "accounts/account_creation.h"

#include <gtest/gtest.h>

#include "accounts/account_book.h"
#include "accounts/secrets.h"
#include "accounts/session_book.h"
#include "base/error.h"
#include "tests/accounts/accounts_fixture.h"

namespace zorbix::testing {
namespace {

using namespace accounts;

class AccountCreation : public AccountsFixture {
protected:
    std::string Create(const std::string& name, Role role, const std::string& unit = "",
                       std::optional<std::string> password = std::nullopt) {
        return CreateAccount(book_, {name, role, unit, std::move(password)});
    }
    std::string FailureOf(const NewAccount& account) {
        try {
            CreateAccount(book_, account);
        } catch (const base::Failure& failure) {
            return failure.what();
        }
        return "";
    }

    AccountBook book_{db_};
};

TEST_F(AccountCreation, AGivenPasswordIsKeptAndNeedNotBeChanged) {
    EXPECT_EQ(Create("王会计", Role::Unit, "省农科院", "十分安全的长密码"), "");
    const auto account = book_.Find("王会计");
    ASSERT_TRUE(account);
    EXPECT_EQ(account->role, Role::Unit);
    EXPECT_EQ(account->unit, "省农科院");
    EXPECT_FALSE(account->must_change_password);
    EXPECT_TRUE(PasswordMatches(account->password_hash, "十分安全的长密码"));
}

TEST_F(AccountCreation, WithoutAPasswordTheAccountGetsAOneTimePasswordToChange) {
    const std::string one_time = Create("office", Role::Admin);
    ASSERT_EQ(one_time.size(), 14u);
    auto account = book_.Find("office");
    ASSERT_TRUE(account);
    EXPECT_TRUE(account->must_change_password);
    EXPECT_TRUE(PasswordMatches(account->password_hash, one_time));

    book_.SetPassword("office", HashPassword("新的长密码很长"), false);
    account = book_.Find("office");
    EXPECT_FALSE(account->must_change_password);
    EXPECT_FALSE(PasswordMatches(account->password_hash, one_time));
    EXPECT_TRUE(PasswordMatches(account->password_hash, "新的长密码很长"));
}

TEST_F(AccountCreation, RefusesWhatCannotBeAnAccount) {
    Create("taken", Role::Clerk, "", "12345678");
    EXPECT_EQ(FailureOf({"taken", Role::Clerk, "", "12345678"}), "账户“taken”已存在。");
    EXPECT_EQ(FailureOf({"", Role::Clerk, "", "12345678"}), "账户名不能为空。");
    EXPECT_EQ(FailureOf({"a\tb", Role::Clerk, "", "12345678"}), "账户名含有无效的字符。");
    EXPECT_EQ(FailureOf({" a", Role::Clerk, "", "12345678"}), "账户名的开头和结尾不能是空格。");
    EXPECT_EQ(FailureOf({std::string(65, 'a'), Role::Clerk, "", "12345678"}),
              "账户名最多64个字符。");
    EXPECT_EQ(FailureOf({"u", Role::Unit, "", "12345678"}), "填报单位的账户须指明所属单位。");
    EXPECT_EQ(FailureOf({"c", Role::Clerk, "某单位", "12345678"}),
              "只有填报单位的账户属于某个单位，审核员的账户不属于任何单位。");
    EXPECT_EQ(FailureOf({"short", Role::Clerk, "", "1234567"}), "密码至少需要8个字符。");
    EXPECT_EQ(book_.All().size(), 1u);
}

TEST_F(AccountCreation, ListsByNameAndRemovesWithSessions) {
    Create("b", Role::Clerk, "", "12345678");
    Create("a", Role::Unit, "甲单位", "12345678");
    const auto all = book_.All();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].name, "a");
    EXPECT_EQ(all[1].name, "b");

    SessionBook sessions(db_, clock());
    const auto opened = sessions.Open("a");
    EXPECT_TRUE(book_.Remove("a"));
    EXPECT_FALSE(book_.Remove("a"));
    EXPECT_FALSE(sessions.Resume(opened.token));
    EXPECT_EQ(book_.All().size(), 1u);
}

}  // namespace
}  // namespace zorbix::testing

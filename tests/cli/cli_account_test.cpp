// End-to-end tests of the batch tool's account command on temporary
// program directories.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "accounts/account_book.h"
#include "accounts/secrets.h"
#include "store/sqlite_db.h"
#include "store/store.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

class CliAccount : public ::testing::Test {
protected:
    // Runs the batch tool with `input` as its standard input.
    CliResult Run(const std::vector<std::string>& args, const std::string& input = "") {
        const auto file = dir_ / "input.txt";
        std::ofstream(file, std::ios::binary) << input;
        return RunCli(dir_.path(), args, file.string());
    }

    std::optional<accounts::Account> Stored(const std::string& name) {
        const auto db = OpenTestDatabase(dir_.path());
        return accounts::AccountBook(*db).Find(name);
    }

    TempDir dir_;
};

TEST_F(CliAccount, AddTakesThePasswordFromInputListShowsAndRemoveRemoves) {
    auto added = Run({"account", "add", "张三", "--role", "unit", "--unit", "省农科院"},
                     "一个足够长的密码\n");
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "") << "no one-time password when one was given";
    ASSERT_EQ(Run({"account", "add", "office", "--role", "admin"}, "admin-password\r\n").status, 0);
    EXPECT_EQ(Run({"account", "list"}).out, "office\tadmin\t\t\n张三\tunit\t省农科院\t\n");
    EXPECT_TRUE(accounts::PasswordMatches(Stored("张三")->password_hash, "一个足够长的密码"));
    EXPECT_TRUE(accounts::PasswordMatches(Stored("office")->password_hash, "admin-password"));

    const auto removed = Run({"account", "remove", "张三"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(Run({"account", "list"}).out, "office\tadmin\t\t\n");
    const auto again = Run({"account", "remove", "张三"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "Qorvath省科技计划项目执行情况年度调查: 没有名为“张三”的账户。\n");
}

TEST_F(CliAccount, RefusedAccountsExitOneWithTheReasonAndAddNothing) {
    ASSERT_EQ(Run({"account", "add", "clerk", "--role", "clerk"}, "12345678\n").status, 0);
    const struct {
        std::vector<std::string> args;
        std::string input;
        std::string reason;
    } cases[] = {
        {{"account", "add", "clerk", "--role", "clerk"}, "12345678\n", "账户“clerk”已存在。"},
        {{"account", "add", "short", "--role", "clerk"}, "1234567\n", "密码至少需要8个字符。"},
        {{"account", "add", "nounit", "--role", "unit"},
         "12345678\n",
         "填报单位的账户须指明所属单位。"},
        {{"account", "add", "office", "--role", "admin", "--unit", "甲"},
         "12345678\n",
         "只有填报单位的账户属于某个单位，管理员的账户不属于任何单位。"},
        {{"account", "add", "silent", "--role", "clerk"}, "", "标准输入中没有密码（应为一行）。"},
    };
    for (const auto& c : cases) {
        const auto r = Run(c.args, c.input);
        EXPECT_EQ(r.status, 1) << c.reason;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
    EXPECT_EQ(Run({"account", "list"}).out, "clerk\tclerk\t\t\n");
}

TEST_F(CliAccount, WrongArgumentsAreBadUsage) {
    const std::vector<std::string> cases[] = {
        {"account"},
        {"account", "rename", "a"},
        {"account", "add"},
        {"account", "add", "a"},
        {"account", "add", "a", "--role", "boss"},
        {"account", "add", "a", "--role", "clerk", "extra"},
        {"account", "list", "extra"},
        {"account", "remove"},
    };
    for (const auto& args : cases) EXPECT_EQ(Run(args, "12345678\n").status, 2) << args.back();
}

TEST_F(CliAccount, OnATerminalAddPrintsAOneTimePasswordThatMustBeChanged) {
    if (std::system("command -v script >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "script (util-linux) gives the command a terminal";
    const char* cli = std::getenv("ZORBIX_CLI");
    const auto out = dir_ / "terminal.txt";
    const std::string command =
        ShellQuote(cli ? cli : "zorbix-cli") + " --dir " + ShellQuote(dir_.path().string()) +
        (OnPostgres() ? " --database " + ShellQuote(TestDatabaseFor(dir_.path())) : std::string()) +
        " account add 李四 --role unit --unit 乙单位";
    ASSERT_EQ(std::system(("script -qec " + ShellQuote(command) + " /dev/null </dev/null >" +
                           ShellQuote(out.string()))
                              .c_str()),
              0);
    const std::string printed = Slurp(out);
    const std::string lead = "账户“李四”的一次性密码：";
    ASSERT_EQ(printed.rfind(lead, 0), 0u) << printed;
    const std::string password = printed.substr(lead.size(), 14);
    EXPECT_EQ(printed.substr(lead.size() + 14), "（首次登录时须修改）\r\n");
    const auto account = Stored("李四");
    ASSERT_TRUE(account);
    EXPECT_TRUE(account->must_change_password);
    EXPECT_TRUE(accounts::PasswordMatches(account->password_hash, password));
    EXPECT_EQ(Run({"account", "list"}).out, "李四\tunit\t乙单位\t须修改密码\n");
}

}  // namespace
}  // namespace zorbix::testing

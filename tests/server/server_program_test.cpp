// The zorbix-server program as an operator starts it: the first
// administrator's one-time password, serving, and a clean stop on SIGTERM.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/server/server_child.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;

class ServerProgram : public ::testing::Test {
protected:
    // On the PostgreSQL pass a server of a program directory opens that
    // directory's test database, as the batch tool's runs do.
    pid_t Start(std::vector<std::string> args) {
        if (OnPostgres() && std::find(args.begin(), args.end(), "--dir") != args.end()) {
            args.push_back("--database");
            args.push_back(TestDatabaseFor(dir_.path()));
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::freopen((dir_ / "out.txt").c_str(), "w", stdout);
            std::freopen((dir_ / "err.txt").c_str(), "w", stderr);
            std::vector<char*> argv;
            const std::string program = ServerPath();
            argv.push_back(const_cast<char*>(program.c_str()));
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return pid;
    }

    // The exit status, or -1 when the program did not end within the time.
    static int WaitForExit(pid_t pid, std::chrono::seconds within) {
        const auto end = std::chrono::steady_clock::now() + within;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            std::this_thread::sleep_for(20ms);
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }

    std::string Out() { return Slurp(dir_ / "out.txt"); }
    std::string Err() { return Slurp(dir_ / "err.txt"); }

    TempDir dir_;
};

TEST_F(ServerProgram, InitAdminPrintsAOneTimePasswordThenServesUntilSigterm) {
    const int port = FreePort();
    const pid_t pid = Start({"--dir", dir_.path().string(), "--listen",
                             "127.0.0.1:" + std::to_string(port), "--init-admin", "office"});
    httplib::Client client("127.0.0.1", port);
    const std::string lead = "管理员账户“office”的一次性密码：";
    for (int i = 0; i < 300 && Err().find("提供服务") == std::string::npos; ++i)
        std::this_thread::sleep_for(20ms);
    const std::string out = Out();
    ASSERT_EQ(out.rfind(lead, 0), 0u) << out << Err();
    const std::string password = out.substr(lead.size(), 14);
    const auto reply =
        client.Post("/api/login", nlohmann::json{{"name", "office"}, {"password", password}}.dump(),
                    "application/json");
    ASSERT_TRUE(reply) << Err();
    EXPECT_EQ(reply->status, 200);
    EXPECT_NE(reply->body.find("\"must_change_password\":true"), std::string::npos);

    ::kill(pid, SIGTERM);
    EXPECT_EQ(WaitForExit(pid, 10s), 0) << Err();
    EXPECT_NE(Err().find("POST /api/login 200 "), std::string::npos) << Err();
    EXPECT_EQ(Err().find(password), std::string::npos);
}

TEST_F(ServerProgram, WrongOptionsExitTwoWithTheUsage) {
    const pid_t pid = Start({"--listen", "0.0.0.0:8013"});
    EXPECT_EQ(WaitForExit(pid, 10s), 2);
    EXPECT_NE(Err().find("在本机以外的地址上监听时须使用TLS"), std::string::npos) << Err();
    EXPECT_NE(Err().find("用法: zorbix-server"), std::string::npos) << Err();
}

TEST_F(ServerProgram, AnExistingAdministratorIsNotMadeAgain) {
    ASSERT_EQ(RunCli(dir_.path(), {"account", "list"}).status, 0);
    const auto file = dir_ / "password.txt";
    std::ofstream(file) << "office-password\n";
    ASSERT_EQ(
        RunCli(dir_.path(), {"account", "add", "office", "--role", "admin"}, file.string()).status,
        0);
    const pid_t pid = Start({"--dir", dir_.path().string(), "--listen",
                             "127.0.0.1:" + std::to_string(FreePort()), "--init-admin", "office"});
    EXPECT_EQ(WaitForExit(pid, 10s), 1);
    EXPECT_EQ(Err(), "zorbix-server: 账户“office”已存在。\n");
}

}  // namespace
}  // namespace zorbix::testing

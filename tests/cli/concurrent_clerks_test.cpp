// Eight batch tools change different fields of the same projects of one
// shared store at once: no update is lost, and every write refused because
// another came first says so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "store/catalogue.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

constexpr int kClerks = 8;
// The field each clerk changes.
const char* const kFields[kClerks] = {"BY1",  "BY2",  "BY3",  "JB03",
                                      "JB04", "JB05", "JB06", "XMCDDW"};

// One `set`, its messages kept in a file of the clerk's own.
CliResult SetAs(const std::filesystem::path& dir, int clerk, const std::string& number,
                const std::string& assignment) {
    const char* cli = std::getenv("ZORBIX_CLI");
    const auto err = dir / (".clerk-" + std::to_string(clerk));
    const std::string command =
        ShellQuote(cli ? cli : "zorbix-cli") + " --dir " + ShellQuote(dir.string()) +
        " --database " + ShellQuote(TestDatabaseFor(dir)) + " set " + ShellQuote(number) + " " +
        ShellQuote(assignment) + " >/dev/null 2>" + ShellQuote(err.string());
    const int raw = std::system(command.c_str());
    CliResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = Slurp(err);
    return r;
}

TEST(ConcurrentClerks, EightWritersOfTheSameProjectsLoseNoUpdate) {
    if (!OnPostgres()) GTEST_SKIP() << "one copy of the program holds an SQLite file";
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"demo", "6"}).status, 0);
    std::vector<std::string> numbers;
    for (const auto& line : Lines(RunCli(dir.path(), {"list"}).out))
        numbers.push_back(line.substr(0, line.find('\t')));
    ASSERT_EQ(numbers.size(), 6u);

    std::vector<int> refused(kClerks, 0);
    std::vector<std::string> unexpected(kClerks);
    std::vector<std::thread> clerks;
    for (int clerk = 0; clerk < kClerks; ++clerk) {
        clerks.emplace_back([&, clerk] {
            const std::string name = kFields[clerk];
            for (const auto& number : numbers) {
                for (int attempt = 0; attempt < 50; ++attempt) {
                    const auto r = SetAs(dir.path(), clerk, number,
                                         name + "=第" + std::to_string(clerk) + "位");
                    if (r.status == 0) break;
                    if (r.err.find("您的修改没有保存") == std::string::npos)
                        unexpected[clerk] += r.err;
                    ++refused[clerk];
                }
            }
        });
    }
    for (auto& c : clerks) c.join();
    for (int clerk = 0; clerk < kClerks; ++clerk) EXPECT_EQ(unexpected[clerk], "") << clerk;

    for (const auto& number : numbers) {
        std::vector<std::string> args = {"get", number};
        for (int clerk = 0; clerk < kClerks; ++clerk) args.push_back(kFields[clerk]);
        const auto lines = Lines(RunCli(dir.path(), args).out);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(kClerks)) << number;
        for (int clerk = 0; clerk < kClerks; ++clerk)
            EXPECT_EQ(lines[clerk].substr(lines[clerk].find('=') + 1),
                      "第" + std::to_string(clerk) + "位")
                << number << " " << lines[clerk];
    }
    int all_refused = 0;
    for (int r : refused) all_refused += r;
    RecordProperty("refused", all_refused);
}

}  // namespace
}  // namespace zorbix::testing

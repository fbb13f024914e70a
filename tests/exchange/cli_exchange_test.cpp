// End-to-end tests of submit, distribute and append through the batch tool:
// a full round trip, the real iconv reading every file written, and an
// append killed part-way.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "store/store.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

std::vector<std::string> Numbers(const std::filesystem::path& dir) {
    std::vector<std::string> numbers;
    for (const auto& line : Lines(RunCli(dir, {"list"}).out))
        numbers.push_back(line.substr(0, line.find('\t')));
    return numbers;
}

// Every column of every project, as `get` prints them.
std::vector<std::vector<std::string>> AllValues(const std::filesystem::path& dir) {
    std::vector<std::vector<std::string>> values;
    for (const auto& number : Numbers(dir))
        values.push_back(Lines(RunCli(dir, {"get", number}).out));
    return values;
}

// Runs the real iconv; the decoded text, or nothing when it refused the file.
std::optional<std::string> Iconv(const std::filesystem::path& file, const TempDir& dir) {
    const auto out = dir / "iconv.out";
    const std::string command = "iconv -f GBK -t UTF-8 " + ShellQuote(file.string()) + " > " +
                                ShellQuote(out.string()) + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    return Slurp(out);
}

std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(CliExchange, SubmitInitAppendReproducesEveryColumn) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"demo", "40", "--seed", "5"}).status, 0);
    const auto before = AllValues(dir.path());
    ASSERT_EQ(before.size(), 40u);
    const auto submit = RunCli(dir.path(), {"submit", (dir / "all.kj").string()});
    ASSERT_EQ(submit.status, 0) << submit.err;
    EXPECT_EQ(submit.err, "Qorvath省科技计划项目执行情况年度调查: 提交数据完成。数据已保存在" +
                              (dir / "all.kj").string() + "中。\n");
    ASSERT_EQ(RunCli(dir.path(), {"--yes", "init"}).status, 0);
    const auto append = RunCli(dir.path(), {"append", (dir / "all.kj").string()});
    ASSERT_EQ(append.status, 0) << append.err;
    EXPECT_EQ(append.err, "Qorvath省科技计划项目执行情况年度调查: 追加数据完成。\n");
    const auto after = AllValues(dir.path());
    ASSERT_EQ(after.size(), before.size());
    int placeholders = 0;
    for (std::size_t p = 0; p < before.size(); ++p) {
        ASSERT_EQ(after[p].size(), 137u);
        for (std::size_t c = 0; c < 137; ++c) {
            const bool was_empty = before[p][c].back() == '=';
            placeholders += was_empty;
            EXPECT_EQ(after[p][c], was_empty ? before[p][c] + " " : before[p][c]) << p << " " << c;
        }
    }
    EXPECT_GT(placeholders, 0);
}

TEST(CliExchange, IconvReadsEveryFileWritten) {
    TempDir dir;
    TempDir out;
    RunCli(dir.path(), {"demo", "5", "--seed", "9"});
    ASSERT_EQ(RunCli(dir.path(), {"submit", (dir / "all.kj").string()}).status, 0);
    const auto numbers = Numbers(dir.path());
    ASSERT_EQ(
        RunCli(dir.path(), {"submit", (dir / "one.kj").string(), "--project", numbers[2]}).status,
        0);
    const auto distributed = RunCli(dir.path(), {"distribute", out.path().string()});
    ASSERT_EQ(distributed.status, 0) << distributed.err;
    EXPECT_EQ(distributed.err, "Qorvath省科技统计: 项目数据下发完成。\n");

    const auto all = Iconv(dir / "all.kj", dir);
    ASSERT_TRUE(all);
    EXPECT_EQ(Count(*all, "\""), 2u * 137 * 5);
    EXPECT_NE(all->find("\r\n"), std::string::npos);  // the results text keeps its line breaks
    const auto one = Iconv(dir / "one.kj", dir);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->substr(0, 20).find(numbers[2]), 5u);
    for (const auto& number : numbers) {
        const auto text = Iconv(out / (number + ".kj"), dir);
        ASSERT_TRUE(text) << number;
        EXPECT_EQ(Count(*text, "\","), 137u);
        EXPECT_NE(text->find("\"" + number + "\","), std::string::npos);
    }
}

TEST(CliExchange, EveryDuplicateMessageIsPrinted) {
    TempDir dir;
    RunCli(dir.path(), {"demo", "3"});
    RunCli(dir.path(), {"submit", (dir / "all.kj").string()});
    const auto again =
        RunCli(dir.path(), {"append", (dir / "all.kj").string(), (dir / "all.kj").string()});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(Count(again.err, "项目编号已存在！"), 6u);
    EXPECT_EQ(Count(again.err, "追加数据完成。"), 2u);
    EXPECT_EQ(Numbers(dir.path()).size(), 3u);
}

TEST(CliExchange, RefusalsExitWithOne) {
    TempDir dir;
    EXPECT_EQ(RunCli(dir.path(), {"submit", (dir / "x.kj").string()}).status, 1);
    EXPECT_EQ(RunCli(dir.path(), {"distribute", dir.path().string()}).status, 1);
    EXPECT_EQ(RunCli(dir.path(), {"append", (dir / "none.kj").string()}).status, 1);
    EXPECT_EQ(RunCli(dir.path(), {"append"}).status, 2);
    EXPECT_EQ(RunCli(dir.path(), {"submit"}).status, 2);
    RunCli(dir.path(), {"demo", "2"});
    EXPECT_EQ(RunCli(dir.path(), {"submit", (dir / "x.kj").string(), "--project", "1"}).status, 1);

    RunCli(dir.path(), {"submit", (dir / "all.kj").string()});
    const std::string bytes = Slurp(dir / "all.kj");
    std::ofstream(dir / "cut.kj", std::ios::binary) << bytes.substr(0, bytes.size() - 100);
    RunCli(dir.path(), {"--yes", "init"});
    const auto cut = RunCli(dir.path(), {"append", (dir / "cut.kj").string()});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("cut.kj”有"), std::string::npos) << cut.err;
    EXPECT_NE(cut.err.find("没有追加任何项目。"), std::string::npos) << cut.err;
    EXPECT_EQ(Numbers(dir.path()).size(), 0u);
}

std::uintmax_t SizeOr0(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

// Starts `zorbix-cli --dir DIR append FILE` and kills it once the append has
// begun writing to the database. True when it was killed, not finished.
bool KillAppendPartWay(const std::filesystem::path& dir, const std::filesystem::path& file) {
    const char* cli = std::getenv("ZORBIX_CLI");
    const std::uintmax_t wal_before = SizeOr0(dir / "zorbix2013.db-wal");
    const pid_t child = fork();
    if (child == 0) {
        freopen("/dev/null", "w", stderr);
        execl(cli, cli, "--dir", dir.c_str(), "append", file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child) return false;
        if (SizeOr0(dir / "zorbix2013.db-wal") > wal_before + (4u << 20)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

TEST(CliExchange, KilledAppendAddsAllOrNothing) {
    TempDir source;
    TempDir target;
    ASSERT_EQ(RunCli(source.path(), {"demo", "12000"}).status, 0);
    ASSERT_EQ(RunCli(source.path(), {"submit", (source / "big.kj").string()}).status, 0);
    RunCli(target.path(), {"list"});  // creates the empty store
    EXPECT_TRUE(KillAppendPartWay(target.path(), source / "big.kj"));

    store::Store store(target.path());
    const int count = store.records().Count();
    EXPECT_TRUE(count == 0 || count == 12000) << count;
    store::Statement check(store.database(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "ok");
}

}  // namespace
}  // namespace zorbix::testing

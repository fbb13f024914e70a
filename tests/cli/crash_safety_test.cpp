// A batch run killed in the middle leaves a sound database holding all or
// none of the run's changes.
#include <gtest/gtest.h>

#include <chrono>

#include "store/project_table.h"
#include "tests/support/cli_runner.h"
#include "tests/support/killed_run.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;

struct Inspection {
    std::string integrity;
    long count = -1;
};

// The database server keeps its own files whole; an SQLite file is checked.
Inspection Inspect(const std::filesystem::path& dir) {
    Inspection result;
    const auto db = OpenTestDatabase(dir);
    result.integrity = "ok";
    if (db->engine() == store::Engine::Sqlite) {
        store::Statement check(*db, "PRAGMA integrity_check");
        if (check.Step()) result.integrity = std::string(check.Text(0));
    }
    if (!store::HasProjectTable(*db)) return result;
    store::Statement count(*db, "SELECT count(*) FROM kjxmzxqk");
    if (count.Step()) result.count = static_cast<long>(count.Int(0));
    return result;
}

TEST(CrashSafety, KilledInitialisationDeletesAllOrNothing) {
    for (auto delay : {5ms, 40ms, 120ms, 300ms}) {
        TempDir dir;
        ASSERT_EQ(RunCli(dir.path(), {"demo", "6000"}).status, 0);
        RunCliAndKill(dir.path(), {"--yes", "init"}, delay);
        const Inspection after = Inspect(dir.path());
        EXPECT_EQ(after.integrity, "ok");
        EXPECT_TRUE(after.count == 0 || after.count == 6000) << after.count;
        EXPECT_EQ(RunCli(dir.path(), {"list"}).status, 0) << "the store opens again";
    }
}

TEST(CrashSafety, KilledDemoRunAddsAllOrNothing) {
    for (auto delay : {30ms, 200ms}) {
        TempDir dir;
        RunCliAndKill(dir.path(), {"demo", "20000"}, delay);
        const Inspection after = Inspect(dir.path());
        EXPECT_EQ(after.integrity, "ok");
        EXPECT_TRUE(after.count <= 0 || after.count == 20000) << after.count;
    }
}

long CountWhere(const std::filesystem::path& dir, const char* condition) {
    const auto db = OpenTestDatabase(dir);
    store::Statement q(*db, std::string("SELECT count(*) FROM kjxmzxqk WHERE ") + condition);
    return q.Step() ? static_cast<long>(q.Int(0)) : -1;
}

TEST(CrashSafety, KilledReplacementReplacesAllOrNothing) {
    // The same demo projects sent as an exchange file differ from the stored
    // ones in every empty value (the file holds a blank there).
    TempDir source;
    ASSERT_EQ(RunCli(source.path(), {"demo", "6000"}).status, 0);
    ASSERT_EQ(RunCli(source.path(), {"submit", (source / "all.kj").string()}).status, 0);
    for (auto delay : {100ms, 400ms, 900ms}) {
        TempDir dir;
        ASSERT_EQ(RunCli(dir.path(), {"demo", "6000"}).status, 0);
        RunCliAndKill(dir.path(), {"--yes", "append", "--replace", (source / "all.kj").string()},
                      delay);
        EXPECT_EQ(Inspect(dir.path()).integrity, "ok");
        const long replaced = CountWhere(dir.path(), "\"BY1\" = ' '");
        EXPECT_TRUE(replaced == 0 || replaced == 6000) << replaced;
        EXPECT_EQ(RunCli(dir.path(), {"list"}).status, 0) << "the store opens again";
    }
}

TEST(CrashSafety, KilledRestoreRestoresAllOrNothing) {
    for (auto delay : {20ms, 150ms, 400ms}) {
        TempDir dir;
        ASSERT_EQ(RunCli(dir.path(), {"demo", "6000"}).status, 0);
        ASSERT_EQ(RunCli(dir.path(), {"--yes", "init"}).status, 0);
        const auto backups = Lines(RunCli(dir.path(), {"backups"}).out);
        ASSERT_EQ(backups.size(), 1u);
        const std::string name = backups[0].substr(0, backups[0].find('\t'));
        RunCliAndKill(dir.path(), {"--yes", "restore", name}, delay);
        const Inspection after = Inspect(dir.path());
        EXPECT_EQ(after.integrity, "ok");
        EXPECT_TRUE(after.count == 0 || after.count == 6000) << after.count;
        EXPECT_EQ(RunCli(dir.path(), {"list"}).status, 0) << "the store opens again";
    }
}

}  // namespace
}  // namespace zorbix::testing

// A batch run killed in the middle leaves a sound database holding all or
// none of the run's changes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>

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

Inspection Inspect(const std::filesystem::path& dir) {
    Inspection result;
    sqlite3* db = nullptr;
    sqlite3_open((dir / "zorbix2013.db").c_str(), &db);
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &q, nullptr);
    if (sqlite3_step(q) == SQLITE_ROW)
        result.integrity = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
    sqlite3_finalize(q);
    sqlite3_prepare_v2(db, "SELECT count(*) FROM kjxmzxqk", -1, &q, nullptr);
    if (sqlite3_step(q) == SQLITE_ROW) result.count = sqlite3_column_int64(q, 0);
    sqlite3_finalize(q);
    sqlite3_close(db);
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

}  // namespace
}  // namespace zorbix::testing

// The server killed with SIGKILL while the administrator restores a
// backup: after a restart every project is as it was before the restore or
// every project is as the backup has it, never a mixture; every backup
// listed can be read, and the store passes its checks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "tests/server/api_client.h"
#include "tests/server/faults_store.h"
#include "tests/server/server_child.h"

namespace zorbix::testing {
namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr int kMarked = 10;  // projects changed after the backup was made
constexpr int kBulk = 1500;  // projects more, so a restore takes a while
constexpr int kKilledRounds = 3;

class KilledRestore : public ::testing::Test {
protected:
    KilledRestore() : server_(dir_.path(), TestDatabaseFor(dir_.path())) {}

    ApiClient Api() const { return ApiClient(server_.port()); }

    BrowserSession LoginOrFail(const std::string& name) {
        auto session = Api().Login(name, kFaultsPassword);
        EXPECT_TRUE(session) << name << "\n" << server_.Log();
        return session.value_or(BrowserSession{});
    }

    // The name of a backup made now.
    std::string MakeBackup(const BrowserSession& admin) {
        const Reply made = Api().Call("POST", "/api/backups", &admin, "{}");
        EXPECT_EQ(made.status, 200) << made.body;
        const json list = Api().Call("GET", "/api/backups", &admin).Json()["backups"];
        return list.empty() ? "" : list[0].value("name", "");
    }

    // The marked projects changed after the backup, named after the round.
    void Mark(const std::string& mark) {
        const BrowserSession unit = LoginOrFail(FaultsAccountName(0));
        for (int slot = 0; slot < kMarked; ++slot) {
            const std::string path = "/api/projects/" + FaultsProjectNumber(0, slot);
            const auto version = Api().Call("GET", path, &unit).Json().value("version", 0);
            const Reply saved =
                Api().Call("PUT", path, &unit,
                           json{{"version", version}, {"values", {{"JB01", mark}}}}.dump());
            ASSERT_EQ(saved.status, 200) << saved.body;
        }
    }

    // How many of the marked projects carry the mark.
    int Marked(const BrowserSession& admin, const std::string& mark) {
        int marked = 0;
        for (int slot = 0; slot < kMarked; ++slot) {
            const Reply read =
                Api().Call("GET", "/api/projects/" + FaultsProjectNumber(0, slot), &admin);
            EXPECT_EQ(read.status, 200) << read.body;
            marked += read.Json()["values"].value("JB01", "") == mark;
        }
        return marked;
    }

    void ExpectEveryBackupReadable(const BrowserSession& admin) {
        const Reply list = Api().Call("GET", "/api/backups", &admin);
        ASSERT_EQ(list.status, 200) << list.body;
        const json answer = list.Json();  // a range over a temporary's member would dangle
        ASSERT_FALSE(answer["backups"].empty());
        for (const json& backup : answer["backups"])
            EXPECT_FALSE(backup["projects"].is_null()) << backup;
    }

    Reply Restore(const BrowserSession& admin, const std::string& name) {
        return Api().Call("POST", "/api/backups/" + name + "/restore", &admin, "{}");
    }

    TempDir dir_;
    ServerChild server_;
};

TEST_F(KilledRestore, TheStoreIsWhollyAsBeforeOrWhollyRestored) {
    MakeFaultsStore(dir_.path(), 1, kMarked, kBulk);
    ASSERT_TRUE(server_.Start()) << server_.Log();
    const std::string backup = MakeBackup(LoginOrFail(kFaultsAdmin));
    ASSERT_FALSE(backup.empty());

    // A restore left alone: how long one takes.
    Mark("恢复前0");
    const auto began = Clock::now();
    const Reply whole = Restore(LoginOrFail(kFaultsAdmin), backup);
    ASSERT_EQ(whole.status, 200) << whole.body;
    const auto takes = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began);
    ASSERT_EQ(Marked(LoginOrFail(kFaultsAdmin), "恢复前0"), 0);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> moment(0, takes.count());
    for (int round = 1; round <= kKilledRounds; ++round) {
        const std::string mark = "恢复前" + std::to_string(round);
        Mark(mark);
        const BrowserSession admin = LoginOrFail(kFaultsAdmin);
        const auto delay = std::chrono::milliseconds(moment(random));
        SCOPED_TRACE("round " + std::to_string(round) + ": killed " +
                     std::to_string(delay.count()) + " ms into a restore of " +
                     std::to_string(takes.count()) + " ms");
        int answered = 0;
        std::thread restoring([&] { answered = Restore(admin, backup).status; });
        std::this_thread::sleep_for(delay);
        server_.Kill();
        restoring.join();
        EXPECT_THAT(StoreProblems(dir_.path()), ::testing::IsEmpty());

        ASSERT_TRUE(server_.Start()) << server_.Log();
        const BrowserSession after = LoginOrFail(kFaultsAdmin);
        const int marked = Marked(after, mark);
        if (answered == 200)
            EXPECT_EQ(marked, 0) << "an answered restore is not there";
        else
            EXPECT_TRUE(marked == 0 || marked == kMarked)
                << marked << " of " << kMarked << " projects are as before the restore";
        ExpectEveryBackupReadable(after);
    }
}

}  // namespace
}  // namespace zorbix::testing

// The PostgreSQL server stopped and started again while units log in,
// read and save: every request meanwhile is refused with 503 and the
// message in Chinese (never taken for a wrong password or a lost session),
// the server is served again within seconds of the database being back
// without being restarted itself, and a save refused meanwhile goes
// through when sent again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <thread>

#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;
using accounts::Role;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr int kUnits = 3;

// The cluster pg_virtualenv made for the run, stopped and started with
// pg_ctlcluster; started again when the test ends, whatever happened.
class VirtualCluster {
public:
    // None outside a pg_virtualenv run.
    static std::optional<VirtualCluster> Find() {
        const char* version = std::getenv("PGVERSION");
        const char* root = std::getenv("PG_CLUSTER_CONF_ROOT");
        if (!version || !root) return std::nullopt;
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(root) / version, error))
            return VirtualCluster(std::string(version) + " " + entry.path().filename().string());
        return std::nullopt;
    }
    ~VirtualCluster() {
        if (stopped_) Start();
    }
    VirtualCluster(VirtualCluster&& other) noexcept : name_(std::move(other.name_)) {}
    VirtualCluster(const VirtualCluster&) = delete;
    VirtualCluster& operator=(const VirtualCluster&) = delete;

    bool Stop() { return stopped_ = Run("stop -m fast"); }
    bool Start() { return !(stopped_ = !Run("start")); }
    // What pg_ctlcluster said last.
    std::string Said() const {
        std::ifstream in(said_.path() / "said.txt");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    explicit VirtualCluster(std::string name) : name_(std::move(name)) {}
    bool Run(const std::string& action) const {
        const std::string command = "pg_ctlcluster " + name_ + " " + action + " >\"" +
                                    (said_.path() / "said.txt").string() + "\" 2>&1";
        return std::system(command.c_str()) == 0;
    }

    std::string name_;  // "15 regress"
    bool stopped_ = false;
    TempDir said_;
};

// The units' threads, told to stop and joined however the test ends.
struct Workers {
    std::atomic<bool>& stop;
    std::vector<std::thread> threads;
    ~Workers() { Finish(); }
    void Finish() {
        stop = true;
        for (auto& thread : threads)
            if (thread.joinable()) thread.join();
    }
};

// 503 with the message in Chinese, no word of libpq's English in it.
bool SaysTheDatabaseIsAway(const Reply& reply) {
    const std::string message = reply.Json().value("error", "");
    const bool latin = std::any_of(message.begin(), message.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
    return reply.status == 503 && message.find("数据库") != std::string::npos && !latin;
}

class DatabaseOutage : public ServerFixture {
protected:
    DatabaseOutage() {
        for (int unit = 0; unit < kUnits; ++unit) {
            const std::string name = "unit" + std::to_string(unit);
            AddAccount(name, Role::Unit, "单位" + std::to_string(unit), "outage-password");
            AddProject(Number(unit), "单位" + std::to_string(unit));
            sessions_.push_back(Login(name, "outage-password"));
        }
    }

    static std::string Number(int unit) { return "20130000000" + std::to_string(unit); }

    // A unit reading and saving its project until told to stop; answers
    // other than 200, 409 (a save that crossed its own refused one) and
    // the 503 of the database away are faults.
    void Work(int unit) {
        for (int n = 0; !stop_; ++n) {
            const Reply read = Call("GET", "/api/projects/" + Number(unit), &sessions_[unit]);
            Note(read);
            if (read.status != 200) {
                std::this_thread::sleep_for(20ms);
                continue;
            }
            Note(Call("PUT", "/api/projects/" + Number(unit), &sessions_[unit],
                      json{{"version", read.Json()["version"]},
                           {"values", {{"JB01", "负载" + std::to_string(n)}}}}
                          .dump()));
        }
    }

    void Note(const Reply& reply) {
        if (reply.status == 200 || reply.status == 409) return;
        std::lock_guard lock(mutex_);
        if (SaysTheDatabaseIsAway(reply))
            ++refused_;
        else
            faults_.push_back(std::to_string(reply.status) + " " + reply.body);
    }

    // Seconds until a read is answered 200 again.
    double SecondsUntilServed(const BrowserSession& who, const std::string& number) {
        const auto began = Clock::now();
        while (Clock::now() - began < 10s) {
            if (Call("GET", "/api/projects/" + number, &who).status == 200) break;
            std::this_thread::sleep_for(50ms);
        }
        return std::chrono::duration<double>(Clock::now() - began).count();
    }

    std::vector<BrowserSession> sessions_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    int refused_ = 0;
    std::vector<std::string> faults_;
};

TEST_F(DatabaseOutage, RefusedWith503MeanwhileAndServedAgainWithinSecondsAfter) {
    if (!OnPostgres()) GTEST_SKIP() << "an SQLite file has no database server to stop";
    auto cluster = VirtualCluster::Find();
    if (!cluster)
        GTEST_SKIP() << "no pg_virtualenv cluster to stop (PGVERSION, PG_CLUSTER_CONF_ROOT)";
    AddAccount("unit9", Role::Unit, "单位九", "outage-password");
    AddProject("201300000009", "单位九");
    const BrowserSession unit = Login("unit9", "outage-password");
    const auto version = VersionOf("201300000009", unit);
    const std::string refused_save =
        json{{"version", version}, {"values", {{"JB01", "停机时保存的名称"}}}}.dump();

    Workers units{stop_, {}};
    for (int u = 0; u < kUnits; ++u) units.threads.emplace_back([this, u] { Work(u); });
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(cluster->Stop()) << cluster->Said();

    const Reply save = Call("PUT", "/api/projects/201300000009", &unit, refused_save);
    EXPECT_TRUE(SaysTheDatabaseIsAway(save)) << save.status << " " << save.body;
    const Reply login = LoginReply("unit9", "outage-password");
    EXPECT_TRUE(SaysTheDatabaseIsAway(login)) << login.status << " " << login.body;
    std::this_thread::sleep_for(500ms);

    ASSERT_TRUE(cluster->Start()) << cluster->Said();
    EXPECT_LT(SecondsUntilServed(unit, "201300000009"), 5.0);
    units.Finish();
    EXPECT_THAT(faults_, ::testing::IsEmpty());
    EXPECT_GT(refused_, 0) << "no request of the units met the outage";

    const Reply again = Call("PUT", "/api/projects/201300000009", &unit, refused_save);
    EXPECT_EQ(again.status, 200) << again.body;
    EXPECT_EQ(Call("GET", "/api/projects/201300000009", &unit).Json()["values"]["JB01"],
              "停机时保存的名称");
    EXPECT_EQ(Login("unit9", "outage-password").csrf.empty(), false);
}

}  // namespace
}  // namespace zorbix::testing

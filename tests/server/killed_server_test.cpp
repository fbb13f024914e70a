// The server killed with SIGKILL (a power cut, the out-of-memory killer)
// at a random moment while units save and submit and the office appends
// exchange files: after a restart on the same store every change that was
// answered 200 is there, none that was not is there in part (a page is
// wholly as before or wholly as sent), an append is wholly in or wholly
// out and, sent again, gives its projects their units, the files the
// killed server was making are gone, and the store passes its checks.
// Several rounds, each killed at another moment.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "exchange/exchange_writer.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "tests/server/api_client.h"
#include "tests/server/faults_store.h"
#include "tests/server/server_child.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr int kUnits = 4;
constexpr int kDrafts = 3;       // slots saved over and over
constexpr int kSubmitSlot = 10;  // slot kSubmitSlot + round: submitted in that round
constexpr int kRounds = 3;
constexpr int kAppendFiles = 40;  // at most, per round
constexpr int kProjectsPerFile = 4;
// Appended projects are numbered FaultsProjectNumber(kAppendUnit + round, …).
constexpr int kAppendUnit = 900;

std::string ProjectPath(const std::string& number) { return "/api/projects/" + number; }

// The three values one save writes on the cover page, all from one token.
json PageValues(const std::string& token) {
    return {{"JB01", "名称" + token}, {"JB03", token}, {"JB04", token}};
}

// What the clients know at the kill: the last answered and the unanswered
// change of each project.
struct Ledger {
    std::mutex mutex;
    std::map<std::string, json> answered;    // number → page values saved
    std::map<std::string, json> unanswered;  // number → page values sent, no answer
    std::set<std::string> submitted;         // answered 200
    std::vector<std::vector<std::string>> appended;
    std::vector<std::string> unanswered_file;  // its numbers
    std::string unanswered_bytes;
    std::vector<std::string> faults;
    int answered_this_round = 0;  // saves

    void Fault(const std::string& what) {
        std::lock_guard lock(mutex);
        faults.push_back(what);
    }
};

class KilledServer : public ::testing::Test {
protected:
    KilledServer() : server_(dir_.path(), TestDatabaseFor(dir_.path())) {}

    ApiClient Api() const { return ApiClient(server_.port()); }

    BrowserSession LoginOrFail(const std::string& name) {
        auto session = Api().Login(name, kFaultsPassword);
        EXPECT_TRUE(session) << name << "\n" << server_.Log();
        return session.value_or(BrowserSession{});
    }

    // One unit saving its drafts over and over, submitting one project on
    // the way, until the server stops answering.
    void UnitTraffic(int round, int unit, const BrowserSession& who) {
        const ApiClient api = Api();
        std::map<std::string, std::int64_t> versions;
        for (int n = 0;; ++n) {
            const std::string number = FaultsProjectNumber(unit, n % kDrafts);
            if (!versions.count(number)) {
                const Reply read = api.Call("GET", ProjectPath(number), &who);
                if (read.status != 200) return;
                versions[number] = read.Json().value("version", std::int64_t{0});
            }
            const json values = PageValues(std::to_string(round) + "u" + std::to_string(unit) +
                                           "-" + std::to_string(n));
            {
                std::lock_guard lock(ledger_.mutex);
                ledger_.unanswered[number] = values;
            }
            const Reply saved =
                api.Call("PUT", ProjectPath(number), &who,
                         json{{"version", versions[number]}, {"values", values}}.dump());
            if (saved.status == 0) return;
            Note(number, values, saved);
            if (saved.status == 200)
                versions[number] = saved.Json().value("version", std::int64_t{0});
            else
                versions.erase(number);
            if (n == 4 && !Submit(api, who, FaultsProjectNumber(unit, kSubmitSlot + round))) return;
        }
    }

    // An answered save: what the store must hold now.
    void Note(const std::string& number, const json& values, const Reply& saved) {
        std::lock_guard lock(ledger_.mutex);
        ledger_.unanswered.erase(number);
        if (saved.status == 200) {
            ledger_.answered[number] = values;
            ++ledger_.answered_this_round;
        } else
            ledger_.faults.push_back("save " + number + ": " + std::to_string(saved.status) + " " +
                                     saved.body);
    }

    // False when the server gave no answer.
    bool Submit(const ApiClient& api, const BrowserSession& who, const std::string& number) {
        const Reply submitted = api.Call("POST", ProjectPath(number) + "/submit", &who, "{}");
        if (submitted.status == 0) return false;
        std::lock_guard lock(ledger_.mutex);
        if (submitted.status == 200)
            ledger_.submitted.insert(number);
        else
            ledger_.faults.push_back("submit " + number + ": " + submitted.body);
        return true;
    }

    // The office appending one small exchange file after another.
    void AppendTraffic(int round, const BrowserSession& clerk) {
        const ApiClient api = Api();
        for (int file = 0; file < kAppendFiles; ++file) {
            std::vector<std::string> numbers;
            std::string bytes;
            for (int i = 0; i < kProjectsPerFile; ++i) {
                numbers.push_back(
                    FaultsProjectNumber(kAppendUnit + round, file * kProjectsPerFile + i));
                store::Row row = store::MakeDemoProject(numbers.back(), 11 + i);
                row[store::ColumnIndex("XMCDDW")] = FaultsUnitName(i % kUnits);
                bytes += exchange::RecordBytes(store::Record(row), exchange::kSubmitPlaceholder);
            }
            {
                std::lock_guard lock(ledger_.mutex);
                ledger_.unanswered_file = numbers;
                ledger_.unanswered_bytes = bytes;
            }
            const Reply appended =
                api.Call("POST", "/api/exchange", &clerk, bytes, "application/octet-stream");
            if (appended.status == 0) return;
            std::lock_guard lock(ledger_.mutex);
            ledger_.unanswered_file.clear();
            if (appended.status == 200)
                ledger_.appended.push_back(numbers);
            else
                ledger_.faults.push_back("append: " + appended.body);
        }
    }

    // Units and the office at work; the server killed after `delay`.
    void TrafficKilledAfter(int round, std::chrono::milliseconds delay) {
        std::vector<std::thread> clients;
        for (int unit = 0; unit < kUnits; ++unit)
            clients.emplace_back([&, unit] { UnitTraffic(round, unit, units_[unit]); });
        clients.emplace_back([&] { AppendTraffic(round, clerk_); });
        std::this_thread::sleep_for(delay);
        server_.Kill();
        for (auto& client : clients) client.join();
    }

    // The cover page of every draft as the restarted server answers it.
    void ExpectEveryPageAnsweredOrWhole(const BrowserSession& clerk) {
        for (int unit = 0; unit < kUnits; ++unit)
            for (int slot = 0; slot < kDrafts; ++slot) {
                const std::string number = FaultsProjectNumber(unit, slot);
                const json values = Api().Call("GET", ProjectPath(number), &clerk).Json()["values"];
                const json page = {{"JB01", values.value("JB01", "")},
                                   {"JB03", values.value("JB03", "")},
                                   {"JB04", values.value("JB04", "")}};
                std::set<json> allowed = {ledger_.answered.count(number) ? ledger_.answered[number]
                                                                         : original_[number]};
                if (ledger_.unanswered.count(number)) allowed.insert(ledger_.unanswered[number]);
                EXPECT_TRUE(allowed.count(page))
                    << number << " holds " << page << ", answered or sent: " << json(allowed);
                // What the store holds is where the next round starts.
                ledger_.answered[number] = page;
                ledger_.unanswered.erase(number);
            }
    }

    void ExpectSubmittedStaySubmitted(const BrowserSession& clerk) {
        for (const std::string& number : ledger_.submitted)
            EXPECT_EQ(Api().Call("GET", ProjectPath(number), &clerk).Json().value("state", ""),
                      "已上报")
                << number;
    }

    // Whether the unit an appended project names reads it as its own.
    bool UnitReads(const std::string& number, int index_in_file) {
        return Api().Call("GET", ProjectPath(number), &units_[index_in_file % kUnits]).status ==
               200;
    }

    // Answered files are in with their owners; the unanswered one wholly
    // in or out, and sent again it ends in with its owners.
    void ExpectAppendsWhole(const BrowserSession& clerk) {
        for (const auto& file : ledger_.appended)
            for (std::size_t i = 0; i < file.size(); ++i)
                EXPECT_TRUE(UnitReads(file[i], static_cast<int>(i))) << file[i];
        if (ledger_.unanswered_file.empty()) return;
        int present = 0;
        for (const std::string& number : ledger_.unanswered_file)
            present += Api().Call("GET", ProjectPath(number), &clerk).status == 200;
        EXPECT_TRUE(present == 0 || present == kProjectsPerFile)
            << present << " of an unanswered append's projects are in";
        const Reply again = Api().Call("POST", "/api/exchange", &clerk, ledger_.unanswered_bytes,
                                       "application/octet-stream");
        EXPECT_EQ(again.status, 200) << again.body;
        for (std::size_t i = 0; i < ledger_.unanswered_file.size(); ++i)
            EXPECT_TRUE(UnitReads(ledger_.unanswered_file[i], static_cast<int>(i)))
                << "appended again, " << ledger_.unanswered_file[i] << " has no unit";
        ledger_.unanswered_file.clear();
    }

    // Only the running server's scratch folders stand in its TMPDIR: the
    // killed one's (an upload half taken in) went with the restart.
    void ExpectNoLeftFiles() {
        const std::string own = "zorbix-server-" + std::to_string(server_.pid()) + "-";
        for (const auto& entry : std::filesystem::directory_iterator(server_.TemporaryFolder()))
            EXPECT_EQ(entry.path().filename().string().rfind(own, 0), 0u) << entry.path();
    }

    void ReadOriginals(const BrowserSession& clerk) {
        for (int unit = 0; unit < kUnits; ++unit)
            for (int slot = 0; slot < kDrafts; ++slot) {
                const std::string number = FaultsProjectNumber(unit, slot);
                const json values = Api().Call("GET", ProjectPath(number), &clerk).Json()["values"];
                original_[number] = {{"JB01", values.value("JB01", "")},
                                     {"JB03", values.value("JB03", "")},
                                     {"JB04", values.value("JB04", "")}};
            }
    }

    TempDir dir_;
    ServerChild server_;
    Ledger ledger_;
    std::map<std::string, json> original_;
    // Logged in once: a session outlives the server's kill as it outlives
    // a restart.
    std::vector<BrowserSession> units_;
    BrowserSession clerk_;
};

TEST_F(KilledServer, EveryAnsweredChangeOutlivesAKillAndNoneIsHalfThere) {
    MakeFaultsStore(dir_.path(), kUnits, kSubmitSlot + kRounds);
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> moment(200, 700);
    for (int round = 0; round <= kRounds; ++round) {
        ASSERT_TRUE(server_.Start()) << server_.Log();
        if (round == 0) {
            clerk_ = LoginOrFail(kFaultsClerk);
            for (int unit = 0; unit < kUnits; ++unit)
                units_.push_back(LoginOrFail(FaultsAccountName(unit)));
            ReadOriginals(clerk_);
        } else {
            SCOPED_TRACE("after the kill of round " + std::to_string(round));
            ExpectEveryPageAnsweredOrWhole(clerk_);
            ExpectSubmittedStaySubmitted(clerk_);
            ExpectAppendsWhole(clerk_);
            ExpectNoLeftFiles();
        }
        if (round == kRounds) break;
        const auto delay = std::chrono::milliseconds(moment(random));
        SCOPED_TRACE("round " + std::to_string(round) + " killed after " +
                     std::to_string(delay.count()) + " ms");
        ledger_.answered_this_round = 0;
        TrafficKilledAfter(round, delay);
        EXPECT_THAT(ledger_.faults, ::testing::IsEmpty());
        EXPECT_THAT(StoreProblems(dir_.path()), ::testing::IsEmpty());
        EXPECT_GT(ledger_.answered_this_round, 0) << "no save was answered before the kill";
    }
}

}  // namespace
}  // namespace zorbix::testing

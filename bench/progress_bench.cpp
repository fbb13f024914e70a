// The office's progress page on a province's store: 32767 demo projects
// dealt out to 2000 units, a quarter of them submitted through the server
// so the history has submissions to count, a server in this process and a
// clerk's browser asking GET /api/progress as the page does every ten
// seconds. Figures: the first call (cold: every project checked by the
// four rule sets, the summary grids computed), the p50 and the max of 20
// calls after it on the unchanged store, a filtered call (one region), and
// the first call after one unit's save, p50 and p99 over 50 saves: the
// saved project's facts and the funds follow the change history.
#include <httplib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "accounts/project_owners.h"
#include "accounts/project_states.h"
#include "accounts/role.h"
#include "accounts/secrets.h"
#include "accounts/server_tables.h"
#include "bench/bench_store.h"
#include "bench/bench_support.h"
#include "server/shared_store.h"
#include "server/zorbix_server.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;
using Json = nlohmann::json;

namespace {

constexpr int kProjects = 32767;
constexpr int kUnits = 2000;
constexpr int kCalls = 20;
constexpr int kSaves = 50;
constexpr const char* kPassword = "bench-password-2013";
// A unit none of whose projects is submitted (every fourth project is, and
// unit i owns the projects i, i + kUnits, …), so it may save them all.
constexpr int kSavingUnit = 1;

std::string UnitName(int unit) { return "单位" + std::to_string(10000 + unit).substr(1); }

// Demo projects, a clerk, the owners in store order, and every fourth
// project 已上报.
void MakeStore(const std::filesystem::path& dir, const std::string& database) {
    store::Store store(dir, database);
    store::AddDemoProjects(store.records(), kProjects, 2013);
    store::Database& db = store.database();
    accounts::CreateServerTables(db);
    store::Transaction transaction(db);
    store::Statement add(db,
                         "INSERT INTO accounts (name, password_hash, role, unit, "
                         "must_change_password) VALUES (?1, ?2, ?3, ?4, 0)");
    const std::string hash = accounts::HashPassword(kPassword);
    for (const auto& [name, role, unit] :
         {std::tuple{"clerk", accounts::Role::Clerk, std::string()},
          std::tuple{"unit", accounts::Role::Unit, UnitName(kSavingUnit)}}) {
        add.Bind(1, name);
        add.Bind(2, hash);
        add.Bind(3, accounts::RoleCode(role));
        add.Bind(4, unit);
        add.Run();
    }
    accounts::ProjectOwners owners(db);
    accounts::ProjectStates states(db);
    const auto numbers = store.records().ColumnValues(store::kNumberColumn);
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        owners.SetOwner(numbers[i], UnitName(static_cast<int>(i % kUnits)));
        if (i % 4 == 0) {
            states.SetState(numbers[i], accounts::ProjectState::Submitted);
            store.records().history().LogNote("网页上报", numbers[i], "填报状态", "填报中",
                                              "已上报");
        }
    }
    transaction.Commit();
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// A logged-in browser: the office's clerk or the saving unit.
class Browser {
public:
    Browser(int port, const std::string& name) : client_("127.0.0.1", port) {
        client_.set_read_timeout(120, 0);
        const Json body = {{"name", name}, {"password", kPassword}};
        const auto reply = client_.Post("/api/login", body.dump(), "application/json");
        if (!reply || reply->status != 200) throw std::runtime_error("login failed");
        const std::string cookie = reply->get_header_value("Set-Cookie");
        headers_ = {{"Cookie", cookie.substr(0, cookie.find(';'))},
                    {"X-CSRF-Token", Json::parse(reply->body).value("csrf", "")}};
    }

    // The milliseconds of one call; the answer in `answer`.
    double Timed(const std::string& path, Json& answer) {
        bench::Stopwatch watch;
        const auto reply = client_.Get(path, headers_);
        const double ms = watch.Milliseconds();
        if (!reply || reply->status != 200)
            throw std::runtime_error(path + ": " + (reply ? reply->body : "no answer"));
        answer = Json::parse(reply->body);
        return ms;
    }

    bool Save(const std::string& number, const Json& values) {
        Json project;
        Timed("/api/projects/" + number, project);
        const Json body = {{"version", project["version"]}, {"values", values}};
        const auto reply =
            client_.Put("/api/projects/" + number, headers_, body.dump(), "application/json");
        return reply && reply->status == 200;
    }

private:
    httplib::Client client_;
    httplib::Headers headers_;
};

// The first progress call after each of kSaves saves by one unit, each of
// another of its projects' funds: what the office's page shows ten
// seconds after a unit pressed 保存.
std::vector<double> CallsAfterSaves(Browser& clerk, Browser& unit, bool& saved) {
    Json list;
    unit.Timed("/api/projects", list);
    std::vector<double> calls;
    Json answer;
    for (int i = 0; i < kSaves; ++i) {
        const Json& project =
            list["projects"][static_cast<std::size_t>(i) % list["projects"].size()];
        saved &= unit.Save(project["number"], {{"JF1002", std::to_string(20000 + i)}});
        calls.push_back(clerk.Timed("/api/progress", answer));
    }
    return calls;
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("zorbix-progress-bench-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(dir);
    const std::string database = bench::FreshDatabaseFor(dir);
    MakeStore(dir, database);

    bool ok = true;
    std::ostream quiet_log(nullptr);
    server::SharedStore store(dir, accounts::SystemClock(), database);
    server::ZorbixServer server(store, server::ServerOptions{}, quiet_log, accounts::SystemClock());
    const int port = server.BindToAnyPort("127.0.0.1");
    std::thread serving([&] { server.Serve(); });
    while (!server.IsRunning()) std::this_thread::sleep_for(std::chrono::microseconds(100));

    Browser clerk(port, "clerk");
    Browser unit(port, "unit");
    Json answer;
    const double cold = clerk.Timed("/api/progress", answer);
    std::vector<double> warm;
    for (int i = 0; i < kCalls; ++i) warm.push_back(clerk.Timed("/api/progress", answer));
    const std::string region = answer["choices"]["regions"][0]["value"];
    const double filtered = clerk.Timed("/api/progress?region=" + region, answer);
    bool saved = true;
    const std::vector<double> after_save = CallsAfterSaves(clerk, unit, saved);
    server.Stop();
    serving.join();

    std::printf("(%d projects, %d units, %zu submission days; %s)\n", kProjects, kUnits,
                answer["days"].size(), bench::OnPostgres() ? "PostgreSQL" : "SQLite");
    ok &= bench::Report("progress, first call (cold)", cold, bench::Target(3000, 6000), "ms");
    ok &= bench::Report("progress, p50 of 20 calls", Percentile(warm, 0.5), 200, "ms");
    ok &= bench::Report("progress, max of 20 calls", Percentile(warm, 1.0), 400, "ms");
    ok &= bench::Report("progress, one region", filtered, 200, "ms");
    ok &= bench::Report("progress, first call after a unit's save, p50",
                        Percentile(after_save, 0.5), 200, "ms");
    ok &= bench::Report("progress, first call after a unit's save, p99",
                        Percentile(after_save, 0.99), 200, "ms");
    if (!saved) {
        std::fprintf(stderr, "progress_bench: a save was refused\n");
        ok = false;
    }
    std::filesystem::remove_all(dir);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

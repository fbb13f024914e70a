// The server as an office runs it in the last days before the deadline:
// the zorbix-server program started on a store of 32767 projects and 2000
// unit accounts, 200 units at once for a minute, each logging in and then
// going round its own projects, opening one and saving a page over the
// version it read, while an office clerk runs check all and the twelve
// summaries. The clerk's runs are timed on the idle server first.
//
// Figures: each call's latency (p50, p99, max) and unexpected answers,
// the calls answered per second, the server's peak resident memory and
// processor time (of its own process, read from /proc), and the clerk's
// runs under load against idle. Not part of the tests: a separate command
// (`ninja -C build bench-load`), on a quiet machine. ZORBIX_BENCH_SECONDS
// sets the time of the load (60 s); ZORBIX_BENCH_POSTGRES runs it on a
// PostgreSQL store (bench/on_both_engines.sh).
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_store.h"
#include "bench/bench_support.h"
#include "bench/unit_accounts_store.h"

using namespace zorbix;
using Json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

constexpr int kClients = 200;

enum Call { kLogin, kOpen, kSave, kCallCount };
constexpr const char* kCallNames[kCallCount] = {"login", "open a project", "save a page"};

struct Tally {
    std::vector<double> ms[kCallCount];
    int errors[kCallCount] = {};
};

// A port nobody listens on now, for the server to take.
int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

// The zorbix-server program on the store, its log thrown away.
pid_t StartServer(const fs::path& dir, const std::string& database, int port) {
    const std::string listen = "127.0.0.1:" + std::to_string(port);
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        if (database.empty())
            execl(ZORBIX_SERVER_PROGRAM, "zorbix-server", "--dir", dir.c_str(), "--listen",
                  listen.c_str(), nullptr);
        else
            execl(ZORBIX_SERVER_PROGRAM, "zorbix-server", "--dir", dir.c_str(), "--database",
                  database.c_str(), "--listen", listen.c_str(), nullptr);
        std::_Exit(127);
    }
    return child;
}

bool Answers(int port) {
    httplib::Client client("127.0.0.1", port);
    for (int tries = 0; tries < 600; ++tries) {
        if (client.Get("/api/catalogue")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// From /proc/PID/status and /proc/PID/stat.
double PeakResidentMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

double ProcessorSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14 || i == 15) ticks += std::stod(field);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A logged-in browser: its own keep-alive connection and session.
class Browser {
public:
    explicit Browser(int port) : client_("127.0.0.1", port) {
        client_.set_keep_alive(true);
        client_.set_tcp_nodelay(true);
        client_.set_read_timeout(300, 0);
        client_.set_write_timeout(60, 0);
    }

    bool LogIn(const std::string& account, Tally* tally = nullptr) {
        const Json body = {{"name", account}, {"password", bench::kBenchPassword}};
        bench::Stopwatch watch;
        const auto reply = client_.Post("/api/login", body.dump(), "application/json");
        if (tally) tally->ms[kLogin].push_back(watch.Milliseconds());
        if (!reply || reply->status != 200) {
            if (tally) ++tally->errors[kLogin];
            return false;
        }
        const std::string cookie = reply->get_header_value("Set-Cookie");
        headers_ = {{"Cookie", cookie.substr(0, cookie.find(';'))},
                    {"X-CSRF-Token", Json::parse(reply->body).value("csrf", "")}};
        return true;
    }

    httplib::Result Get(const std::string& path) { return client_.Get(path, headers_); }
    httplib::Result Put(const std::string& path, const std::string& body) {
        return client_.Put(path, headers_, body, "application/json");
    }
    httplib::Result Post(const std::string& path) {
        return client_.Post(path, headers_, "", "application/json");
    }

private:
    httplib::Client client_;
    httplib::Headers headers_;
};

// One unit: logs in, lists its projects once, then opens one and saves a
// page of it, round after round, until told to stop.
void UnitAtWork(int port, int unit, const std::atomic<bool>& stop, std::atomic<int>& logged_in,
                Tally& tally) {
    Browser browser(port);
    const bool in = browser.LogIn(bench::AccountName(unit), &tally);
    ++logged_in;
    if (!in) return;
    std::vector<std::string> numbers;
    if (const auto list = browser.Get("/api/projects"); list && list->status == 200) {
        // Held while the loop runs: a range over a member of a temporary
        // would outlive it.
        const Json answer = Json::parse(list->body);
        for (const auto& p : answer["projects"]) numbers.push_back(p["number"]);
    }
    for (int round = 0; !stop && !numbers.empty(); ++round) {
        const std::string path = "/api/projects/" + numbers[round % numbers.size()];
        bench::Stopwatch opening;
        const auto opened = browser.Get(path);
        tally.ms[kOpen].push_back(opening.Milliseconds());
        if (!opened || opened->status != 200) {
            ++tally.errors[kOpen];
            continue;
        }
        const Json save = {{"version", Json::parse(opened->body)["version"]},
                           {"values",
                            {{"JB03", round % 2 ? "王伟" : "李娜"},
                             {"JB05", "0351-" + std::to_string(10000000 + round)}}}};
        bench::Stopwatch saving;
        const auto saved = browser.Put(path, save.dump());
        tally.ms[kSave].push_back(saving.Milliseconds());
        if (!saved || saved->status != 200) ++tally.errors[kSave];
    }
}

struct ClerkTimes {
    double check_ms = -1;
    double summaries_ms = -1;
};

// Check all, then the twelve summaries; -1 for a run that failed.
ClerkTimes ClerkRun(Browser& clerk) {
    ClerkTimes times;
    bench::Stopwatch check;
    if (const auto r = clerk.Post("/api/check"); r && r->status == 200)
        times.check_ms = check.Milliseconds();
    bench::Stopwatch summaries;
    if (const auto r = clerk.Get("/api/summaries"); r && r->status == 200)
        times.summaries_ms = summaries.Milliseconds();
    return times;
}

// The median of three runs each: one run of a tenth of a second is at the
// mercy of whatever else the two cores did in that moment.
ClerkTimes ClerkRuns(int port) {
    Browser clerk(port);
    if (!clerk.LogIn(bench::kBenchClerk)) return {};
    std::vector<double> checks;
    std::vector<double> summaries;
    for (int run = 0; run < 3; ++run) {
        const ClerkTimes times = ClerkRun(clerk);
        if (times.check_ms < 0 || times.summaries_ms < 0) return {};
        checks.push_back(times.check_ms);
        summaries.push_back(times.summaries_ms);
    }
    return {bench::Percentile(checks, 0.5), bench::Percentile(summaries, 0.5)};
}

void PrintCalls(const Tally& tally) {
    std::printf("%-26s %8s %8s %8s %8s %7s\n", "call", "count", "p50 ms", "p99 ms", "max ms",
                "errors");
    for (int c = 0; c < kCallCount; ++c)
        std::printf("%-26s %8zu %8.1f %8.1f %8.1f %7d\n", kCallNames[c], tally.ms[c].size(),
                    bench::Percentile(tally.ms[c], 0.5), bench::Percentile(tally.ms[c], 0.99),
                    bench::Max(tally.ms[c]), tally.errors[c]);
}

Tally Merged(const std::vector<Tally>& tallies) {
    Tally all;
    for (const Tally& t : tallies)
        for (int c = 0; c < kCallCount; ++c) {
            all.ms[c].insert(all.ms[c].end(), t.ms[c].begin(), t.ms[c].end());
            all.errors[c] += t.errors[c];
        }
    return all;
}

void CopySummaryTemplates(const fs::path& to) {
    for (const auto& entry : fs::directory_iterator(fs::u8path(ZORBIX_PROGRAM_DIR)))
        if (entry.path().extension() == ".xlsx")
            fs::copy_file(entry.path(), to / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
}

}  // namespace

int main() {
    signal(SIGPIPE, SIG_IGN);
    const fs::path dir =
        fs::temp_directory_path() / ("zorbix-load-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(dir);
    CopySummaryTemplates(dir);
    const std::string database = bench::FreshDatabaseFor(dir);
    if (!bench::MadeInChild(dir, database, true)) return EXIT_FAILURE;
    const char* set_seconds = std::getenv("ZORBIX_BENCH_SECONDS");
    const double seconds = set_seconds ? std::atof(set_seconds) : 60;

    const int port = FreePort();
    const pid_t server = StartServer(dir, database, port);
    if (!Answers(port)) {
        std::fprintf(stderr, "server_load_bench: the server did not answer\n");
        kill(server, SIGKILL);
        return EXIT_FAILURE;
    }
    ClerkRuns(port);  // the first runs read the store into the caches
    const ClerkTimes idle = ClerkRuns(port);

    std::atomic<bool> stop{false};
    std::atomic<int> logged_in{0};
    std::vector<Tally> tallies(kClients);
    std::vector<std::thread> units;
    const double processor_before = ProcessorSeconds(server);
    bench::Stopwatch load;
    for (int i = 0; i < kClients; ++i)
        units.emplace_back([&, i] {
            UnitAtWork(port, i * (bench::kBenchUnits / kClients), stop, logged_in,
                       tallies[static_cast<std::size_t>(i)]);
        });
    // The clerk starts once every unit is in (200 Argon2id checks take a
    // while) and at work, or half way through the load.
    while (logged_in < kClients && load.Milliseconds() < seconds * 500)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const ClerkTimes loaded = ClerkRuns(port);
    const double left = seconds - load.Milliseconds() / 1000;
    if (left > 0) std::this_thread::sleep_for(std::chrono::duration<double>(left));
    stop = true;
    for (auto& unit : units) unit.join();
    const double load_seconds = load.Milliseconds() / 1000;
    const double processor = ProcessorSeconds(server) - processor_before;
    const double memory = PeakResidentMegabytes(server);
    kill(server, SIGTERM);
    int status = 0;
    waitpid(server, &status, 0);

    const Tally tally = Merged(tallies);
    PrintCalls(tally);
    std::size_t calls = 0;
    int errors = 0;
    for (int c = 0; c < kCallCount; ++c) {
        calls += tally.ms[c].size();
        errors += tally.errors[c];
    }
    std::printf(
        "(clerk idle: check all %.0f ms, summaries %.0f ms; under load: %.0f ms, %.0f ms)\n",
        idle.check_ms, idle.summaries_ms, loaded.check_ms, loaded.summaries_ms);
    bool ok = true;
    for (int c : {kOpen, kSave})
        ok &= bench::Report((std::string(kCallNames[c]) + ", p99 of 200 units at once").c_str(),
                            bench::Percentile(tally.ms[c], 0.99), 150, "ms");
    ok &= bench::Report("unexpected answers under load", errors, 0.5, "n");
    bench::ReportAtLeast("calls answered per second, 200 units at once",
                         static_cast<double>(calls) / load_seconds, 0);
    bench::ReportAtLeast("server processor time per second of load (cores)",
                         processor / load_seconds, 0);
    ok &= bench::Report("server peak resident memory", memory, 300, "MB");
    const bool clerk_ran = idle.check_ms > 0 && idle.summaries_ms > 0 && loaded.check_ms > 0 &&
                           loaded.summaries_ms > 0;
    ok &= bench::Report("clerk's check all under load, times idle",
                        clerk_ran ? loaded.check_ms / idle.check_ms : 99, 2, "x");
    ok &= bench::Report("clerk's summaries under load, times idle",
                        clerk_ran ? loaded.summaries_ms / idle.summaries_ms : 99, 2, "x");
    fs::remove_all(dir);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

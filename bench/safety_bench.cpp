// The safety nets' cost on 32767 demo projects: append with the change
// history written, typing a field and leaving it, a backup of the whole
// store, and the history of a project with 1000 changes.
#include <cstdlib>
#include <filesystem>

#include "bench/bench_store.h"
#include "bench/bench_support.h"
#include "bench/quiet_prompter.h"
#include "exchange/exchange_operations.h"
#include "store/backups.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;
namespace fs = std::filesystem;

namespace {

bool TypingAndLeaving(store::RecordSet& records) {
    constexpr int kEdits = 200;
    records.MoveTo(100);
    bench::Stopwatch typing;
    for (int i = 0; i < kEdits; ++i) {
        records.SetValue("JB01", "名称" + std::to_string(i));
        records.WriteBack();
    }
    return bench::Report("typing a field and leaving it (write-back with history)",
                         typing.Milliseconds() / kEdits, bench::Target(5, 10), "ms");
}

bool HistoryOfABusyProject(store::RecordSet& records) {
    records.MoveTo(200);
    {
        store::Transaction transaction(records.database());
        for (int i = 0; i < 1000; ++i) {
            records.SetValue("JB03", std::to_string(i));
            records.WriteBack();
        }
        transaction.Commit();
    }
    const std::string number(records.Value(store::kNumberColumn));
    bench::Stopwatch history;
    const auto lines = records.history().ForProject(number);
    const bool ok = bench::Report("history of a project with 1000 changes", history.Milliseconds(),
                                  bench::Target(50, 100), "ms");
    std::printf("(%zu lines)\n", lines.size());
    return ok;
}

}  // namespace

int main() {
    const auto source = fs::temp_directory_path() / "zorbix-safety-bench-source";
    const auto dir = fs::temp_directory_path() / "zorbix-safety-bench";
    for (const auto& d : {source, dir}) {
        fs::remove_all(d);
        fs::create_directories(d);
    }
    bool ok = true;
    {
        store::Store store(source);
        store::AddDemoProjects(store.records(), 32767, 2013);
        bench::QuietPrompter prompter(source / "all.kj");
        exchange::SubmitAllProjects(store.records(), prompter, source);
    }
    store::Store store(dir, bench::FreshDatabaseFor(dir));
    auto& records = store.records();
    bench::QuietPrompter prompter(source / "all.kj");
    bench::Stopwatch append;
    exchange::AppendProjects(records, prompter, dir);
    ok &= bench::Report("append 32767 projects with the history on", append.Milliseconds(),
                        bench::Target(2500, 5000), "ms");
    ok &= TypingAndLeaving(records);
    bench::Stopwatch backup;
    store::MakeBackup(store.database(), "备份");
    ok &= bench::Report("backup of the 32767-project store", backup.Milliseconds(),
                        bench::Target(1000, 2000), "ms");
    ok &= HistoryOfABusyProject(records);
    fs::remove_all(source);
    fs::remove_all(dir);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

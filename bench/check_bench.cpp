// The check run over all projects of a full store: 32767 demo projects,
// every rule set on every record, the panel text built, the first record
// current again at the end.
#include <cstdlib>
#include <filesystem>

#include "bench/bench_store.h"
#include "bench/bench_support.h"
#include "bench/quiet_prompter.h"
#include "check/check_result.h"
#include "check/check_runs.h"
#include "check/rule_sets.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;

namespace {

// Every project of the store with one finding in each table, so the panel
// carries four lines per project: the longest panel a run builds in practice.
void BreakEveryProject(store::RecordSet& records) {
    store::Transaction transaction(records.database());
    for (records.MoveFirst(); !records.AtEnd(); records.MoveNext()) {
        records.SetValue("JB24", "9600");
        records.SetValue("JF4001", "-1");
        records.SetValue("JL400", "-1");
        records.SetValue("JG131", "9999999");
    }
    transaction.Commit();
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "zorbix-check-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    bool ok = true;
    {
        store::Store store(dir, bench::FreshDatabaseFor(dir));
        auto& records = store.records();
        store::AddDemoProjects(records, 32767, 2013);
        records.Reopen();
        bench::QuietPrompter prompter;
        std::string panel;

        bench::Stopwatch clean;
        check::CheckAllProjects(records, prompter, panel);
        ok &= bench::Report("check all 32767 demo projects (no findings)", clean.Milliseconds(),
                            bench::Target(1000, 1500), "ms");
        const bool none = panel == " 审核结果\r\n";

        BreakEveryProject(records);
        records.Reopen();
        bench::Stopwatch broken;
        check::CheckAllProjects(records, prompter, panel);
        ok &= bench::Report("check all 32767 projects, four findings each", broken.Milliseconds(),
                            bench::Target(1000, 1500), "ms");
        // Where the time goes: the store's walk, and the rules on records in memory.
        bench::Stopwatch walk;
        for (records.MoveFirst(); !records.AtEnd(); records.MoveNext()) {
        }
        std::printf("(the walk alone: %.1f ms)\n", walk.Milliseconds());
        std::vector<store::Record> rows;
        for (int i = 1; i <= records.Count(); ++i) rows.push_back(records.ReadRow(i));
        bench::Stopwatch rules;
        check::CheckResult result;
        for (const auto& row : rows) check::CheckAllTables(row, result);
        std::printf("(the rule sets alone: %.1f ms)\n", rules.Milliseconds());

        std::printf("(demo projects without findings: %s; panel of %zu bytes)\n",
                    none ? "yes" : "NO", panel.size());
        ok &= none;
    }
    std::filesystem::remove_all(dir);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

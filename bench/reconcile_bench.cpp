// The reconciliation's speed: 32767 stored demo projects against a plan
// workbook of 32767 rows (some planned projects not stored, some stored ones
// not planned, some amounts off), reading the plan included.
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "base/numeric_value.h"
#include "bench/bench_support.h"
#include "bench/quiet_prompter.h"
#include "office/sheet_reader.h"
#include "reconcile/plan_list.h"
#include "reconcile/plan_reconciliation.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/office/test_workbooks.h"

using namespace zorbix;

namespace {

// Every 100th stored project left out of the plan and as many unstored ones
// put in; every 50th planned amount off by one.
void WritePlan(store::RecordSet& records, const std::filesystem::path& file) {
    const auto numbers = records.ColumnValues(store::kNumberColumn);
    const auto amounts = records.ColumnValues(store::ColumnIndex("JF1102"));
    std::vector<testing::TestRow> rows = {{std::string("序号"), std::string("项目编号")}};
    int left_out = 0;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i % 100 == 0) {
            ++left_out;
            continue;
        }
        const double amount = base::NumericValue(amounts[i]) / 10 + (i % 50 == 1 ? 1 : 0);
        rows.push_back({double(i + 1), numbers[i], std::string("计划项目名称"),
                        std::string("某某大学"), std::string("高新处"), amount});
    }
    for (int k = 0; k < left_out; ++k)
        rows.push_back({0.0, 990000000000.0 + k, std::string("未上报项目"), std::string("某研究所"),
                        std::string("农村处"), 12.5});
    testing::WriteTestXlsx(file, rows);
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "zorbix-reconcile-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    bool ok = true;
    {
        store::Store store(dir);
        store::AddDemoProjects(store.records(), 32767, 2013);
        store.records().Reopen();
        WritePlan(store.records(), dir / reconcile::kPlanWorkbookXlsx);

        bench::Stopwatch read;
        const auto plan = reconcile::ReadPlanList(dir / reconcile::kPlanWorkbookXlsx);
        ok &= bench::Report("read a plan workbook of 32767 rows", read.Milliseconds(), 500, "ms");

        bench::QuietPrompter prompter;
        bench::Stopwatch run;
        const std::clock_t cpu = std::clock();
        const auto text = reconcile::ReconcileWithPlan(store.records(), prompter, dir);
        ok &= bench::Report("reconcile 32767 stored projects with the plan (plan read included)",
                            run.Milliseconds(), 1000, "ms");
        std::printf("(processor time of that run: %.1f ms)\n",
                    1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
        std::size_t lines = 0;
        for (char c : text.panel) lines += c == '\n';
        std::printf("(%zu plan rows, %d stored, %zu panel lines; %s)\n", plan.size(),
                    store.records().Count(), lines, prompter.last.c_str());
        ok &= static_cast<bool>(text);
    }
    std::filesystem::remove_all(dir);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

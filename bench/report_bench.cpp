// Report generation speed: one report from the template, and the reports of
// 1000 demo projects in one run, as the start screen's "报表生成" makes them.
// The template is taken from the build's program directory (or the
// directory given as the first argument).
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "base/atomic_file.h"
#include "base/program_directory.h"
#include "bench/bench_support.h"
#include "bench/quiet_prompter.h"
#include "report/project_report.h"
#include "report/report_files.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;

namespace {}  // namespace

// The reports of one store in `dir`; false when a figure misses.
bool Measure(const std::filesystem::path& program, const std::filesystem::path& dir,
             const char* where) {
    namespace fs = std::filesystem;
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(report::TemplatePath(program), report::TemplatePath(dir));
    bool ok = true;
    std::printf("-- reports written to %s (%s)\n", dir.string().c_str(), where);
    {
        store::Store store(dir);
        auto& records = store.records();
        store::AddDemoProjects(records, 1000, 2013);
        records.Reopen();
        records.MoveFirst();

        std::vector<double> times, flushes;
        for (int i = 0; i < 50; ++i) {
            bench::Stopwatch one;
            report::WriteProjectReport(records.Current(), dir);
            times.push_back(one.Milliseconds());
            bench::Stopwatch flush;
            base::WriteFileAtomically(dir / "flush.bin", std::string(9000, 'x'));
            flushes.push_back(flush.Milliseconds());
        }
        std::sort(times.begin(), times.end());
        std::sort(flushes.begin(), flushes.end());
        ok &= bench::Report("one report (median of 50)", times[times.size() / 2], 20, "ms");
        std::printf("   of which the disk's flush of an atomic 9 KB write: %.1f ms (median)\n",
                    flushes[flushes.size() / 2]);

        bench::QuietPrompter prompter;
        bench::Stopwatch all;
        const bool made = report::CommandReports(records, prompter, dir).IsDone();
        ok &= bench::Report("reports of 1000 demo projects", all.Milliseconds() / 1000.0, 20, "s");
        ok &= made && prompter.warnings == 0;
        if (!made) std::printf("SOME REPORTS FAILED\n");
    }
    fs::remove_all(dir);
    return ok;
}

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path program =
        argc > 1 ? fs::path(argv[1]) : base::ExecutableDirectory() / ".." / "program";
    bool ok = Measure(program, fs::temp_directory_path() / "zorbix-report-bench", "the disk");
    // In memory the figures show the program's own work without the disk.
    if (fs::is_directory("/dev/shm")) Measure(program, "/dev/shm/zorbix-report-bench", "memory");
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

// The summary run on 32767 demo projects: one walk feeding the twelve grids
// and the twelve workbooks written from the generated templates. For scale,
// the same fill of one workbook done with openpyxl.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/program_directory.h"
#include "bench/bench_support.h"
#include "bench/quiet_prompter.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_run.h"
#include "summary/summary_workbook.h"

using namespace zorbix;

namespace {

// One fill is a few milliseconds, so a busy machine can double it: both
// fills are timed as the best of a few attempts.
constexpr int kAttempts = 5;

// The same cells filled by openpyxl; prints its own best time in ms on stdout.
double OpenpyxlMilliseconds(const std::filesystem::path& dir, const summary::SummaryDefinition& s,
                            const summary::SummaryGrid& grid) {
    std::ofstream cells(dir / "cells.txt");
    for (int row = 1; row <= summary::kLastWrittenRow; ++row)
        for (int column = 1; column <= s.last_column; ++column)
            if (grid.At(row, column) > 0)
                cells << row << ' ' << column << ' ' << grid.At(row, column) << '\n';
    cells.close();
    std::ofstream script(dir / "fill.py");
    script << "import sys, time\nimport openpyxl\nbest = None\n"
              "for attempt in range("
           << kAttempts
           << "):\n"
              "    t = time.perf_counter()\n"
              "    wb = openpyxl.load_workbook(sys.argv[1])\n    ws = wb.worksheets[0]\n"
              "    for line in open(sys.argv[2]):\n        r, c, v = line.split()\n"
              "        ws.cell(row=int(r), column=int(c)).value = float(v)\n"
              "    wb.save(sys.argv[3])\n    ms = (time.perf_counter() - t) * 1000\n"
              "    best = ms if best is None else min(best, ms)\n"
              "print(best)\n";
    script.close();
    const std::string command = "/usr/bin/python3 '" + (dir / "fill.py").string() + "' '" +
                                (dir / summary::TemplateFileName(s)).string() + "' '" +
                                (dir / "cells.txt").string() + "' '" +
                                (dir / "openpyxl.xlsx").string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    double ms = -1;
    if (pipe && std::fscanf(pipe, "%lf", &ms) != 1) ms = -1;
    if (pipe) pclose(pipe);
    return ms;
}

}  // namespace

int main() {
    const auto program = base::ExecutableDirectory().parent_path() / "program";
    const auto dir = std::filesystem::temp_directory_path() / "zorbix-summary-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (!summary::SummaryTemplatesPresent(program)) {
        std::fprintf(stderr, "no summary templates in %s: build the target summary_templates\n",
                     program.c_str());
        return EXIT_FAILURE;
    }
    for (const auto& s : summary::Summaries())
        std::filesystem::copy_file(program / summary::TemplateFileName(s),
                                   dir / summary::TemplateFileName(s));
    bool ok = true;
    {
        store::Store store(dir);
        store::AddDemoProjects(store.records(), 32767, 2013);
        store.records().Reopen();
        bench::QuietPrompter prompter;
        bench::Stopwatch run;
        const auto result = summary::RunAllSummaries(store.records(), prompter, dir);
        ok &= bench::Report("twelve summaries over 32767 projects, workbooks written",
                            run.Milliseconds(), 2000, "ms");
        ok &= result.Complete();
        std::printf("(final message: %s)\n", prompter.last.c_str());

        const auto grids = summary::ComputeSummaryGrids(store.records());
        const auto& table_three = summary::Summaries()[11];
        double ours = 0;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            bench::Stopwatch one;
            summary::WriteSummaryWorkbook(dir, table_three, grids[11]);
            const double ms = one.Milliseconds();
            ours = attempt == 0 ? ms : std::min(ours, ms);
        }
        bench::Report("one workbook filled (项目参加人情况_表三), best of 5", ours, 100, "ms");
        const double theirs = OpenpyxlMilliseconds(dir, table_three, grids[11]);
        if (theirs > 0)
            std::printf("%-58s %10.1f ms (openpyxl / ours = %.1f)\n",
                        "the same fill with openpyxl, best of 5", theirs, theirs / ours);
        else
            std::printf("openpyxl could not be run with /usr/bin/python3\n");
    }
    std::filesystem::remove_all(dir);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

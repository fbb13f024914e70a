// Report generation speed: one report from the template, and the reports of
// 1000 demo projects in one run, as the start screen's "报表生成" makes them,
// on the disk and in memory. For scale, the same bookmarks of the same
// template filled with the same values by a python-docx script
// (bench/python_docx_fill.py). The template is taken from the build's
// program directory (or the directory given as the first argument).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/atomic_file.h"
#include "base/program_directory.h"
#include "bench/bench_support.h"
#include "bench/quiet_prompter.h"
#include "report/project_report.h"
#include "report/report_files.h"
#include "report/report_placements.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;

namespace {

constexpr int kOurAttempts = 50;
constexpr int kPythonAttempts = 20;
constexpr double kOneReportMs = 1.0;
constexpr double kAllReportsS = 1.5;
constexpr double kLeastRatio = 20.0;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The texts as a JSON array of [bookmark, text] pairs.
void WriteValues(const std::filesystem::path& file,
                 const std::vector<office::BookmarkText>& texts) {
    std::ofstream out(file, std::ios::binary);
    out << '[';
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out << (i ? ",[\"" : "[\"") << texts[i].name << "\",\"";
        for (const char c : texts[i].text) {
            if (c == '"' || c == '\\') {
                out << '\\' << c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out << escaped;
            } else {
                out << c;
            }
        }
        out << "\"]";
    }
    out << ']';
}

struct PythonTimes {
    double best = -1, median = -1;
};

// The python-docx fill of the same texts into `dir`, timed by the script.
PythonTimes PythonDocx(const std::filesystem::path& dir,
                       const std::vector<office::BookmarkText>& texts) {
    WriteValues(dir / "values.json", texts);
    const auto script = std::filesystem::path(ZORBIX_BENCH_DIR) / "python_docx_fill.py";
    const std::string command =
        "/usr/bin/python3 '" + script.string() + "' '" + report::TemplatePath(dir).string() +
        "' '" + (dir / "values.json").string() + "' '" + (dir / "python-docx.docx").string() +
        "' " + std::to_string(kPythonAttempts) + " 2>/dev/null";
    PythonTimes times;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe && std::fscanf(pipe, "%lf %lf", &times.best, &times.median) != 2) times = {};
    if (pipe) pclose(pipe);
    return times;
}

struct OurTimes {
    double best = 0, median = 0;
};

// One report of the current record, timed kOurAttempts times. On the disk,
// the atomic writer's sync of a small file is timed beside it, to tell the
// disk's part from ours.
OurTimes OneReport(store::RecordSet& records, const std::filesystem::path& dir, bool on_disk) {
    std::vector<double> times, flushes;
    for (int i = 0; i < kOurAttempts; ++i) {
        bench::Stopwatch one;
        report::WriteProjectReport(records.Current(), dir);
        times.push_back(one.Milliseconds());
        bench::Stopwatch flush;
        if (on_disk) base::WriteFileAtomically(dir / "flush.bin", std::string(9000, 'x'));
        flushes.push_back(flush.Milliseconds());
    }
    const OurTimes ours{*std::min_element(times.begin(), times.end()), Median(times)};
    if (on_disk) {
        std::printf("%-58s %10.2f ms  (best %.2f ms)\n",
                    "one report with its own sync (median of 50)", ours.median, ours.best);
        std::printf("   of which the disk's sync of an atomic 9 KB write alone: %.2f ms (median)\n",
                    Median(flushes));
    }
    return ours;
}

// The reports of one store in `dir`; false when a figure misses.
bool Measure(const std::filesystem::path& program, const std::filesystem::path& dir, bool on_disk) {
    namespace fs = std::filesystem;
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(report::TemplatePath(program), report::TemplatePath(dir));
    bool ok = true;
    std::printf("-- reports written to %s (%s)\n", dir.string().c_str(),
                on_disk ? "the disk" : "memory");
    {
        store::Store store(dir);
        auto& records = store.records();
        store::AddDemoProjects(records, 1000, 2013);
        records.Reopen();
        records.MoveFirst();

        const OurTimes ours = OneReport(records, dir, on_disk);
        if (!on_disk) {
            ok &= bench::Report("one report (median of 50)", ours.median, kOneReportMs, "ms");
            std::printf("   best of 50: %.2f ms\n", ours.best);
        }
        const PythonTimes python = PythonDocx(dir, report::ReportTexts(records.Current()));

        bench::QuietPrompter prompter;
        bench::Stopwatch all;
        const bool made = report::CommandReports(records, prompter, dir).IsDone();
        ok &= bench::Report("reports of 1000 demo projects", all.Milliseconds() / 1000.0,
                            kAllReportsS, "s");
        ok &= made && prompter.warnings == 0;
        if (!made) std::printf("SOME REPORTS FAILED\n");

        if (python.median > 0) {
            std::printf("%-58s %10.1f ms  (best %.1f ms)\n",
                        "python-docx filling the same bookmarks (median of 20)", python.median,
                        python.best);
            // Its save does not sync: on the disk the ratio is only for scale.
            if (on_disk)
                std::printf("%-58s %10.1f\n", "python-docx / ours with its sync (medians)",
                            python.median / ours.median);
            else
                ok &= bench::ReportAtLeast("python-docx / ours (medians)",
                                           python.median / ours.median, kLeastRatio);
            std::printf("%-58s %10.1f\n", "python-docx / ours (best times)",
                        python.best / ours.best);
        } else {
            std::printf("python-docx could not be run with /usr/bin/python3 (python3-docx)\n");
        }
    }
    fs::remove_all(dir);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path program =
        argc > 1 ? fs::path(argv[1]) : base::ExecutableDirectory() / ".." / "program";
    bool ok = Measure(program, fs::temp_directory_path() / "zorbix-report-bench", true);
    // In memory the figures show the program's own work without the disk.
    if (fs::is_directory("/dev/shm")) ok &= Measure(program, "/dev/shm/zorbix-report-bench", false);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

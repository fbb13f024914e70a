// Project lists on 32767 demo projects: export to a workbook and to CSV,
// import of either into an empty store (time and peak memory), and for
// scale the same sheet written by openpyxl in its write-only mode and read
// in its read-only mode. The imports run as zorbix-cli import, each in a
// process of its own, so the peak memory is the whole program's.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/program_directory.h"
#include "bench/bench_support.h"
#include "bench/quiet_prompter.h"
#include "lists/project_list_export.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;

namespace {

// Runs a python3 script with openpyxl; it prints its own time in ms.
double PythonMilliseconds(const std::filesystem::path& script, const std::string& arguments) {
    const std::string command = "/usr/bin/python3 '" + script.string() + "' " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    double ms = -1;
    if (pipe && std::fscanf(pipe, "%lf", &ms) != 1) ms = -1;
    if (pipe) pclose(pipe);
    return ms;
}

// The exported sheet's values written again by openpyxl (write-only), the
// numbers where our workbook has numbers; the reading of the values is not
// timed.
void WriteOpenpyxlScripts(const std::filesystem::path& dir) {
    std::ofstream(dir / "write.py")
        << "import sys, time, openpyxl\n"
           "src = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
           "rows = [list(r) for r in src['项目'].iter_rows(values_only=True)]\n"
           "t = time.perf_counter()\n"
           "wb = openpyxl.Workbook(write_only=True)\nws = wb.create_sheet('项目')\n"
           "ws.freeze_panes = 'C3'\n"
           "for r in rows:\n    ws.append(r)\n"
           "wb.save(sys.argv[2])\nprint((time.perf_counter() - t) * 1000)\n";
    std::ofstream(dir / "read.py")
        << "import sys, time, openpyxl\nt = time.perf_counter()\n"
           "wb = openpyxl.load_workbook(sys.argv[1], read_only=True)\nn = 0\n"
           "for r in wb['项目'].iter_rows(values_only=True):\n    n += len(r)\n"
           "print((time.perf_counter() - t) * 1000)\n";
}

// Imports the file with the batch tool into an empty program directory, in
// a process of its own, so its peak memory is the import's alone.
double ImportMilliseconds(const std::filesystem::path& dir, const std::filesystem::path& file,
                          bool& ok, double& peak) {
    const auto cli = base::ExecutableDirectory().parent_path() / "program" / "zorbix-cli";
    std::filesystem::create_directories(dir);
    // /usr/bin/time forks (not vfork), so the peak it tells is the
    // import's own, not that of this process before the exec.
    const auto measured = dir / "peak.txt";
    const std::string command = "/usr/bin/time -o '" + measured.string() + "' -f %M '" +
                                cli.string() + "' --dir '" + dir.string() + "' import '" +
                                file.string() + "' >/dev/null 2>&1";
    bench::Stopwatch clock;
    const int status = std::system(command.c_str());
    const double ms = clock.Milliseconds();
    std::ifstream(measured) >> peak;
    peak /= 1024.0;
    store::Store imported(dir);
    if (status != 0 || imported.records().Count() != 32767) {
        std::fprintf(stderr, "import of %s failed\n", file.c_str());
        ok = false;
    }
    return ms;
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "zorbix-lists-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "source");
    bool ok = true;
    double export_xlsx = 0;
    {
        store::Store source(dir / "source");
        store::AddDemoProjects(source.records(), 32767, 2013);
        source.records().Reopen();
        bench::QuietPrompter prompter;
        bench::Stopwatch xlsx;
        ok &= lists::ExportProjectListTo(source.records(), prompter, dir / "list.xlsx").IsDone();
        export_xlsx = xlsx.Milliseconds();
        ok &= bench::Report("export of 32767 projects to xlsx", export_xlsx / 1000, 2, "s");
        bench::Stopwatch csv;
        ok &= lists::ExportProjectListTo(source.records(), prompter, dir / "list.csv").IsDone();
        ok &= bench::Report("export of 32767 projects to CSV", csv.Milliseconds() / 1000, 0.5, "s");
    }
    double peak = 0;
    const double import_xlsx = ImportMilliseconds(dir / "from-xlsx", dir / "list.xlsx", ok, peak);
    ok &= bench::Report("import of 32767 projects from xlsx", import_xlsx / 1000, 3, "s");
    ok &= bench::Report("peak memory of that import (the whole zorbix-cli)", peak, 300, "MB");
    const double import_csv = ImportMilliseconds(dir / "from-csv", dir / "list.csv", ok, peak);
    ok &= bench::Report("import of 32767 projects from CSV", import_csv / 1000, 3, "s");
    ok &= bench::Report("peak memory of that import (the whole zorbix-cli)", peak, 300, "MB");

    WriteOpenpyxlScripts(dir);
    const double write =
        PythonMilliseconds(dir / "write.py", "'" + (dir / "list.xlsx").string() + "' '" +
                                                 (dir / "py.xlsx").string() + "'");
    const double read =
        PythonMilliseconds(dir / "read.py", "'" + (dir / "list.xlsx").string() + "'");
    if (write > 0)
        std::printf("%-58s %10.1f s  (openpyxl / ours = %.1f, aim >= 5)\n",
                    "the same sheet written by openpyxl (write-only)", write / 1000,
                    write / export_xlsx);
    if (read > 0)
        std::printf("%-58s %10.1f s  (openpyxl / ours = %.1f, aim >= 5)\n",
                    "the sheet read by openpyxl (read-only, values only)", read / 1000,
                    read / import_xlsx);
    if (write <= 0 || read <= 0) std::printf("openpyxl not available: no comparison\n");
    std::filesystem::remove_all(dir);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

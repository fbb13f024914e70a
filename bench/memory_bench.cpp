// Peak memory of whole zorbix-cli runs on large files: `append` of an
// exchange file and `import` of a CSV project list, each on a file of 1 GB
// of one line and on a file of a million records, into an empty program
// directory. Both read their file as they go, so the peak stays the same
// whatever the file's size. Each run is a process of its own measured by
// /usr/bin/time, so the peak is the whole program's. The files are made in
// a temporary folder, one at a time, and removed with it.
//
// What the runs do with these files: the exchange file of one line is one
// endless field, refused after its first megabytes; the million records are
// appended (the store holds no limit of its own; the survey's 32767 is what
// a province has, not a rule of the file); the CSV line is refused when it
// passes the record limit; the million CSV rows are read whole and refused,
// as any list of more than 100 000 projects is, and a list of 100 000 rows
// is imported.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/program_directory.h"
#include "bench/bench_support.h"
#include "exchange/exchange_writer.h"
#include "office/csv_text.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;

namespace {

constexpr std::uintmax_t kGigabyte = std::uintmax_t{1} << 30;
constexpr int kRecords = 1'000'000;

// Writes `head`, then `fill` up to exactly 1 GB.
void WriteOneLine(const std::filesystem::path& file, const std::string& head, char fill) {
    std::ofstream out(file, std::ios::binary);
    out << head;
    const std::string block(std::size_t{1} << 20, fill);
    std::uintmax_t left = kGigabyte - head.size();
    while (left > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uintmax_t>(left, block.size()));
        out.write(block.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
}

// A few demo projects to vary; record `i` takes the number 2013xxxxxxxx.
std::vector<store::Row> DemoRows() {
    std::vector<store::Row> rows;
    for (int i = 0; i < 64; ++i) {
        rows.push_back(store::MakeDemoProject("201300000000", 2013 + i));
        // Without the results text and with a short name a million records
        // stay under the 1 GB an exchange file may have.
        rows.back()[store::ColumnIndex("JDCG")].clear();
        rows.back()[store::ColumnIndex("JB01")] = "测试项目";
    }
    return rows;
}

void WriteExchangeRecords(const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary);
    auto rows = DemoRows();
    for (int i = 0; i < kRecords; ++i) {
        store::Row& row = rows[i % rows.size()];
        row[store::kNumberColumn] = std::to_string(201300000000LL + i);
        out << exchange::RecordBytes(store::Record(row), exchange::kSubmitPlaceholder);
    }
}

void WriteCsvRecords(const std::filesystem::path& file, int count) {
    std::ofstream out(file, std::ios::binary);
    std::string line;
    for (const store::Column& c : store::Columns()) {
        if (c.index > 0) line += ',';
        office::AppendCsvField(line, c.name);
    }
    out << line << "\r\n";
    auto rows = DemoRows();
    for (int i = 0; i < count; ++i) {
        store::Row& row = rows[i % rows.size()];
        row[store::kNumberColumn] = std::to_string(201300000000LL + i);
        line.clear();
        for (int c = 0; c < store::kColumnCount; ++c) {
            if (c > 0) line += ',';
            office::AppendCsvField(line, row[c]);
        }
        out << line << "\r\n";
    }
}

struct Run {
    double peak_mb = -1;
    double seconds = 0;
    int status = -1;
    std::string said;  // the first line of standard error
};

// `zorbix-cli --dir DIR COMMAND FILE` into an empty program directory.
Run RunCli(const std::filesystem::path& dir, const char* command,
           const std::filesystem::path& file) {
    const auto cli = base::ExecutableDirectory().parent_path() / "program" / "zorbix-cli";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto peak = dir.parent_path() / "peak.txt";
    const auto err = dir.parent_path() / "err.txt";
    // /usr/bin/time forks (not vfork), so the peak it tells is the run's own.
    const std::string line = "/usr/bin/time -o '" + peak.string() + "' -f %M '" + cli.string() +
                             "' --dir '" + dir.string() + "' " + command + " '" + file.string() +
                             "' >/dev/null 2>'" + err.string() + "'";
    Run run;
    bench::Stopwatch clock;
    run.status = std::system(line.c_str());
    run.seconds = clock.Milliseconds() / 1000;
    // The peak in KB is the last line (after "Command exited with …").
    std::ifstream measured(peak);
    for (std::string text; std::getline(measured, text);)
        if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])))
            run.peak_mb = std::stod(text) / 1024.0;
    std::ifstream said(err);
    std::getline(said, run.said);
    if (run.said.size() > 160) {
        std::size_t cut = 160;
        while (cut > 0 && (static_cast<unsigned char>(run.said[cut]) & 0xC0) == 0x80) --cut;
        run.said = run.said.substr(0, cut) + "…";
    }
    std::filesystem::remove_all(dir);
    return run;
}

bool Measure(const char* what, const Run& run) {
    std::printf("  %s: %.1f s, exit %d, %s\n", what, run.seconds, WEXITSTATUS(run.status),
                run.said.c_str());
    return bench::Report(what, run.peak_mb, 256, "MB") && run.peak_mb > 0;
}

}  // namespace

int main() {
    const auto root = std::filesystem::temp_directory_path() /
                      ("zorbix-memory-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    const auto store = root / "store";
    bool ok = true;

    const auto kj = root / "one-line.kj";
    WriteOneLine(kj, "\"201300000001\",\"", 'a');
    ok &= Measure("append of a 1 GB exchange file of one line", RunCli(store, "append", kj));
    std::filesystem::remove(kj);

    const auto records = root / "records.kj";
    WriteExchangeRecords(records);
    std::printf("  (%s: %.0f MB)\n", records.filename().c_str(),
                static_cast<double>(std::filesystem::file_size(records)) / (1 << 20));
    ok &= Measure("append of an exchange file of 1 million records",
                  RunCli(store, "append", records));
    std::filesystem::remove(records);

    const auto csv = root / "one-line.csv";
    WriteOneLine(csv, "JB02,JB01\r\n201300000001,", 'a');
    ok &= Measure("import of a 1 GB CSV list of one line", RunCli(store, "import", csv));
    std::filesystem::remove(csv);

    const auto rows = root / "records.csv";
    WriteCsvRecords(rows, kRecords);
    std::printf("  (%s: %.0f MB)\n", rows.filename().c_str(),
                static_cast<double>(std::filesystem::file_size(rows)) / (1 << 20));
    ok &= Measure("import of a CSV list of 1 million records", RunCli(store, "import", rows));
    // The most a list may hold, imported: read twice, the second time as
    // it is written.
    WriteCsvRecords(rows, 100'000);
    ok &= Measure("import of a CSV list of 100 000 records", RunCli(store, "import", rows));

    std::filesystem::remove_all(root);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

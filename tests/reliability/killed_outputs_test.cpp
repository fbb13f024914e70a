// Summaries and reports killed with SIGKILL part-way: every workbook and
// report under its final name is a complete package (or is not there), and
// whatever temporary file the kill left is hidden under a name of its own.
// A later run writes everything.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "base/error.h"
#include "office/zip_archive.h"
#include "tests/support/cli_runner.h"
#include "tests/support/killed_run.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kProgramDir = ZORBIX_TEMPLATE_DIR;

// Opens the package and reads every part; false when anything fails.
bool CompletePackage(const fs::path& file) {
    try {
        const office::ZipArchive zip(file);
        for (const auto& name : zip.Names()) (void)zip.Read(name);
        return !zip.Names().empty();
    } catch (const base::Failure&) {
        return false;
    }
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Checks every output of the directory; returns how many there were.
int CheckOutputs(const fs::path& dir) {
    int outputs = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.front() == '.') continue;  // a temporary (".<name>.<pid>.<n>.tmp") or the lock
        if (EndsWith(name, "_2013.xlsx") || EndsWith(name, ".docx")) {
            EXPECT_TRUE(CompletePackage(entry.path())) << name;
            ++outputs;
        } else {
            EXPECT_TRUE(EndsWith(name, ".xlsx") || name.starts_with("zorbix2013.db"))
                << "unexpected file " << name;
        }
    }
    return outputs;
}

void CopyProgramFiles(const fs::path& dir, const std::string& extension) {
    for (const auto& entry : fs::directory_iterator(kProgramDir))
        if (entry.path().extension() == extension)
            fs::copy_file(entry.path(), dir / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
}

TEST(KilledOutputs, SummarizeLeavesOnlyCompleteWorkbooks) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"demo", "3000", "--seed", "5"}).status, 0);
    CopyProgramFiles(dir.path(), ".xlsx");
    int killed = 0;
    for (auto delay : {15ms, 40ms, 80ms, 150ms, 300ms, 600ms}) {
        killed += RunCliAndKill(dir.path(), {"summarize"}, delay);
        CheckOutputs(dir.path());
    }
    EXPECT_GT(killed, 0) << "at least one run was killed part-way";
    EXPECT_EQ(RunCli(dir.path(), {"summarize"}).status, 0);
    EXPECT_EQ(CheckOutputs(dir.path()), 12);
}

TEST(KilledOutputs, ReportsLeaveOnlyCompleteDocuments) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"demo", "400", "--seed", "6"}).status, 0);
    CopyProgramFiles(dir.path(), ".docx");
    int killed = 0;
    for (auto delay : {15ms, 50ms, 120ms, 250ms, 500ms}) {
        killed += RunCliAndKill(dir.path(), {"--yes", "report"}, delay);
        CheckOutputs(dir.path());
    }
    EXPECT_GT(killed, 0) << "at least one run was killed part-way";
    EXPECT_EQ(RunCli(dir.path(), {"--yes", "report"}).status, 0);
    EXPECT_EQ(CheckOutputs(dir.path()), 400 + 2);  // the reports, template and help
}

}  // namespace
}  // namespace zorbix::testing

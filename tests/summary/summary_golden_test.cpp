// The twelve workbooks keep their content byte for byte: the first sheet and
// xl/workbook.xml of every output are compared with golden copies written
// by the pugixml merge the summaries used before their templates were
// prepared once per run. Three sets of grids: those of demo projects, all
// empty (only the totals' caches change), and odd figures in every cell
// (fractions, huge values, numbers over labels and total formulas).
//
// ZORBIX_WRITE_GOLDEN=<file> writes the golden copies instead of comparing,
// for when the templates themselves change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "office/xlsx_package.h"
#include "office/zip_archive.h"
#include "store/demo_projects.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_run.h"
#include "summary/summary_workbook.h"
#include "tests/summary/summary_test_support.h"

namespace zorbix::testing {
namespace {

constexpr int kDemoProjects = 3000;
constexpr std::uint64_t kDemoSeed = 2013;

std::vector<summary::SummaryGrid> EmptyGrids() {
    std::vector<summary::SummaryGrid> grids;
    for (const auto& s : summary::Summaries()) grids.emplace_back(s.grid_columns);
    return grids;
}

// Every cell of every grid, with figures of every kind a sum can reach.
std::vector<summary::SummaryGrid> OddGrids() {
    // Whole, fractional, tiny, huge and negative figures, and nothing.
    const double figures[] = {1,         7,
                              0.5,       1234.5678901234567,
                              0.1 + 0.2, 1e15,
                              1e20,      3e-7,
                              -4,        999999999999999,
                              2.5,       0,
                              1e300,     12.25,
                              40000.1,   1.0 / 3};
    std::vector<summary::SummaryGrid> grids = EmptyGrids();
    std::uint64_t state = 88172645463325252ull;
    for (auto& grid : grids)
        for (int row = 0; row < summary::kGridRows; ++row)
            for (int column = 0; column < grid.Columns(); ++column) {
                state ^= state << 13, state ^= state >> 7, state ^= state << 17;
                if (state % 5 == 0) continue;  // some cells stay empty
                grid.Add(row, column, figures[(state >> 8) % std::size(figures)]);
            }
    return grids;
}

// (entry name in the golden file, bytes) of the outputs in the folder.
using Parts = std::vector<std::pair<std::string, std::string>>;

void CollectOutputs(const std::filesystem::path& dir, const std::string& set, Parts& parts) {
    for (const auto& s : summary::Summaries()) {
        office::ZipArchive output(dir / summary::OutputFileName(s));
        const std::string name = set + "/" + std::string(s.name) + "/";
        parts.emplace_back(name + "sheet.xml", output.Read(office::FirstSheetPart(output)));
        parts.emplace_back(name + "workbook.xml", output.Read("xl/workbook.xml"));
    }
}

void WriteAll(const std::filesystem::path& dir, const std::vector<summary::SummaryGrid>& grids) {
    const auto summaries = summary::Summaries();
    for (std::size_t i = 0; i < summaries.size(); ++i)
        summary::WriteSummaryWorkbook(dir, summaries[i], grids[i]);
}

Parts AllOutputs() {
    SmallStore store;
    store.CopyTemplates();
    store::AddDemoProjects(store.records(), kDemoProjects, kDemoSeed);
    store.records().Reopen();
    Parts parts;
    WriteAll(store.dir(), summary::ComputeSummaryGrids(store.records()));
    CollectOutputs(store.dir(), "demo", parts);
    WriteAll(store.dir(), EmptyGrids());
    CollectOutputs(store.dir(), "empty", parts);
    WriteAll(store.dir(), OddGrids());
    CollectOutputs(store.dir(), "odd", parts);
    return parts;
}

TEST(SummaryGolden, OutputsMatchTheGoldenCopiesByteForByte) {
    const Parts parts = AllOutputs();
    if (const char* golden = std::getenv("ZORBIX_WRITE_GOLDEN")) {
        office::WriteZip(golden, parts);
        GTEST_SKIP() << "golden copies written to " << golden;
    }
    office::ZipArchive golden(std::filesystem::path(ZORBIX_SUMMARY_TEST_DATA) /
                              "golden_outputs.zip");
    ASSERT_EQ(golden.Names().size(), parts.size());
    for (const auto& [name, bytes] : parts) {
        const std::string expected = golden.Read(name);
        ASSERT_EQ(bytes.size(), expected.size()) << name;
        EXPECT_TRUE(bytes == expected) << name << " differs from its golden copy";
    }
}

}  // namespace
}  // namespace zorbix::testing

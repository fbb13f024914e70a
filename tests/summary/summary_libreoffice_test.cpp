// A real spreadsheet program opens the twelve workbooks of a demo store:
// every grid figure is in its cell and the template's totals are
// recomputed from them. Slow (one LibreOffice start), so only one test.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "office/xlsx_cell_writer.h"
#include "store/demo_projects.h"
#include "summary/standard_rows.h"
#include "summary/summary_run.h"
#include "tests/summary/summary_test_support.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_prompter.h"

namespace zorbix::testing {
namespace {

using Table = std::vector<std::vector<std::string>>;

// A CSV without quoted commas (labels and numbers only).
Table ReadCsv(const std::filesystem::path& file) {
    Table table;
    std::istringstream in(Slurp(file));
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        std::stringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ',');) cells.push_back(cell);
        table.push_back(cells);
    }
    return table;
}

double At(const Table& t, int row, int column) {
    if (row > static_cast<int>(t.size()) || column > static_cast<int>(t[row - 1].size())) return 0;
    const std::string& cell = t[row - 1][column - 1];
    return cell.empty() ? 0 : std::stod(cell);
}

bool ConvertToCsv(const std::filesystem::path& dir, std::vector<std::filesystem::path> files) {
    std::string command = "soffice --headless -env:UserInstallation=file://" +
                          (dir / "profile").string() +
                          " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir " +
                          ShellQuote((dir / "csv").string());
    for (const auto& f : files) command += " " + ShellQuote(f.string());
    command += " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

TEST(SummaryLibreOffice, OpensTheWorkbooksWithFiguresAndRecomputedTotals) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no LibreOffice";
    SmallStore store;
    store.CopyTemplates();
    store::AddDemoProjects(store.records(), 400, 11);
    store.records().Reopen();
    const auto grids = summary::ComputeSummaryGrids(store.records());
    RecordingPrompter prompter;
    ASSERT_TRUE(summary::RunAllSummaries(store.records(), prompter, store.dir()).Complete());

    std::vector<std::filesystem::path> outputs;
    for (const auto& s : summary::Summaries())
        outputs.push_back(store.dir() / summary::OutputFileName(s));
    ConvertToCsv(store.dir(), outputs);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto& s = summary::Summaries()[i];
        const auto csv = store.dir() / "csv" / (std::string(s.name) + "_2013.csv");
        ASSERT_TRUE(std::filesystem::exists(csv)) << "LibreOffice did not convert " << outputs[i];
        const Table table = ReadCsv(csv);
        for (int row = 2; row <= 149; ++row) {
            for (int column = 2; column <= s.last_column; ++column) {
                if (grids[i].At(row, column) > 0) {
                    EXPECT_NEAR(At(table, row, column), grids[i].At(row, column), 1e-6)
                        << s.name << " " << office::ColumnLetters(column) << row;
                }
            }
        }
        for (const auto& group : summary::RowGroups())
            for (int column = 4; column <= s.last_column; ++column) {
                double sum = 0;
                for (int row = group.first_row; row <= group.last_row; ++row)
                    sum += std::max(0.0, grids[i].At(row, column));
                const auto& headings = table[0];
                const auto index = static_cast<std::size_t>(column - 1);
                if (index < headings.size() && !headings[index].empty()) {
                    EXPECT_NEAR(At(table, group.total_row, column), sum, 1e-6)
                        << s.name << " total " << office::ColumnLetters(column) << group.total_row;
                }
            }
    }
    // Columns the templates compute: people by sex, projects over all plans.
    const Table leaders = ReadCsv(store.dir() / "csv" / "项目负责人情况_2013.csv");
    EXPECT_EQ(At(leaders, 98, 2), At(leaders, 98, 3) + At(leaders, 98, 4));
    EXPECT_EQ(At(leaders, 150, 2), 400);
    const Table plans = ReadCsv(store.dir() / "csv" / "省级资金各类计划分布汇总_2013.csv");
    EXPECT_GT(At(plans, 13, 2), 0);
}

}  // namespace
}  // namespace zorbix::testing

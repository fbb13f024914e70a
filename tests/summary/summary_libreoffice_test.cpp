// A real spreadsheet program opens the twelve workbooks of a demo store:
// every grid figure is in its cell, the template's totals are recomputed
// from them and equal the values the workbooks carry for readers that do
// not compute; and the workbooks print as landscape tables with their
// headings on every page. Slow (one LibreOffice start per test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "office/xlsx_cell_writer.h"
#include "office/xlsx_package.h"
#include "office/zip_archive.h"
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

// LibreOffice shows the stored values of an .xlsx's formulas unless told to
// recalculate on load: its profile says "always", so that what it exports
// is what it computes, not what the workbook carries.
void AlwaysRecalculate(const std::filesystem::path& profile) {
    std::filesystem::create_directories(profile / "user");
    std::ofstream(profile / "user" / "registrymodifications.xcu")
        << R"(<?xml version="1.0" encoding="UTF-8"?>)"
        << R"(<oor:items xmlns:oor="http://openoffice.org/2001/registry" )"
        << R"(xmlns:xs="http://www.w3.org/2001/XMLSchema" )"
        << R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)"
        << R"(<item oor:path="/org.openoffice.Office.Calc/Formula/Load">)"
        << R"(<prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>)"
        << "</oor:items>\n";
}

// A copy of a workbook whose cached value of one cell is wrong.
std::filesystem::path WithWrongCache(const std::filesystem::path& workbook,
                                     const std::string& reference) {
    office::ZipArchive zip(workbook);
    const std::string part = office::FirstSheetPart(zip);
    pugi::xml_document sheet;
    sheet.load_string(zip.Read(part).c_str());
    for (pugi::xml_node row : sheet.child("worksheet").child("sheetData").children("row"))
        if (pugi::xml_node c = row.find_child_by_attribute("c", "r", reference.c_str()))
            c.child("v").text().set("999999");
    std::ostringstream text;
    sheet.save(text, "", pugi::format_raw);
    const auto copy = workbook.parent_path() / "wrong-cache.xlsx";
    office::WriteZipCopy(zip, copy, {{part, text.str()}});
    return copy;
}

// All files in one LibreOffice start; "csv" or "pdf" into dir/<format>.
bool Convert(const std::filesystem::path& dir, const std::vector<std::filesystem::path>& files,
             const std::string& format) {
    AlwaysRecalculate(dir / "profile");
    const std::string filter =
        format == "csv" ? "'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false'"
                        : "pdf";
    std::string command = "soffice --headless -env:UserInstallation=file://" +
                          (dir / "profile").string() + " --convert-to " + filter + " --outdir " +
                          ShellQuote((dir / format).string());
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
    const std::string total = "B" + std::to_string(summary::RowGroups().front().total_row);
    auto converted = outputs;
    converted.push_back(WithWrongCache(outputs[1], total));
    Convert(store.dir(), converted, "csv");
    // The comparison below means something only if LibreOffice computes.
    const Table wrong = ReadCsv(store.dir() / "csv" / "wrong-cache.csv");
    const auto [total_row, total_column] = office::ParseCellReference(total);
    ASSERT_GT(At(wrong, total_row, total_column), 0);
    ASSERT_NE(At(wrong, total_row, total_column), 999999) << "LibreOffice did not recalculate";
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto& s = summary::Summaries()[i];
        const auto csv = store.dir() / "csv" / (std::string(s.name) + "_2013.csv");
        ASSERT_TRUE(std::filesystem::exists(csv)) << "LibreOffice did not convert " << outputs[i];
        const Table table = ReadCsv(csv);
        int formulas = 0;
        for (const auto& [ref, cell] : SheetCells(outputs[i])) {
            if (!cell.formula) continue;
            ++formulas;
            ASSERT_FALSE(cell.value.empty()) << s.name << " " << ref << " carries no value";
            const auto [row, column] = office::ParseCellReference(ref);
            const double computed = At(table, row, column);
            EXPECT_NEAR(std::stod(cell.value), computed, 1e-9 * std::max(1.0, std::fabs(computed)))
                << s.name << " " << ref;
        }
        EXPECT_GT(formulas, 0) << s.name;
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
    EXPECT_EQ(At(leaders, summary::RowGroups().back().total_row, 2), 400);
    const Table plans = ReadCsv(store.dir() / "csv" / "省级资金各类计划分布汇总_2013.csv");
    EXPECT_GT(At(plans, summary::RowGroups().front().total_row, 2), 0);
}

std::string Command(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// The page count a summary may print on at the most. Fitting the table to
// one page wide only shrinks it, so the bound at full size holds: the
// printable height of landscape A4 within the margins, less the heading row
// repeated on every page, divided into rows of the default height.
int PageBound() {
    constexpr double kPageHeight = 595.3;                        // points, landscape A4
    constexpr double kMargins = (0.75 + 0.6) * 72;               // top and bottom
    constexpr double kHeadingRow = 6 * 15 + 6;                   // six lines of heading at most
    constexpr double kRow = 15;                                  // the default row height
    const int rows = summary::RowGroups().back().total_row - 1;  // below the heading row
    const double rows_per_page = std::floor((kPageHeight - kMargins - kHeadingRow) / kRow);
    return static_cast<int>(std::ceil(rows / rows_per_page));
}

// The twelve summaries of `projects` demo projects, printed by LibreOffice
// into the folder pdf/ of the store's directory.
void PrintAllSummaries(SmallStore& store, int projects, int seed) {
    store.CopyTemplates();
    store::AddDemoProjects(store.records(), projects, seed);
    store.records().Reopen();
    RecordingPrompter prompter;
    ASSERT_TRUE(summary::RunAllSummaries(store.records(), prompter, store.dir()).Complete());
    std::vector<std::filesystem::path> outputs;
    for (const auto& s : summary::Summaries())
        outputs.push_back(store.dir() / summary::OutputFileName(s));
    Convert(store.dir(), outputs, "pdf");
}

TEST(SummaryLibreOffice, PrintsLandscapeOnePageWideWithHeadingsOnEveryPage) {
    if (std::system("command -v soffice >/dev/null && command -v pdfinfo >/dev/null") != 0)
        GTEST_SKIP() << "no LibreOffice or poppler";
    SmallStore store;
    ASSERT_NO_FATAL_FAILURE(PrintAllSummaries(store, 300, 5));
    const int bound = PageBound();
    for (const auto& s : summary::Summaries()) {
        const auto pdf = store.dir() / "pdf" / (std::string(s.name) + "_2013.pdf");
        ASSERT_TRUE(std::filesystem::exists(pdf)) << "LibreOffice did not print " << s.name;
        const std::string info = Command("pdfinfo " + ShellQuote(pdf.string()));
        double width = 0, height = 0;
        int pages = 0;
        const auto size = info.find("Page size:");
        ASSERT_NE(size, std::string::npos) << info;
        std::sscanf(info.c_str() + size, "Page size: %lf x %lf", &width, &height);
        std::sscanf(info.c_str() + info.find("Pages:"), "Pages: %d", &pages);
        EXPECT_GT(width, height) << s.name << " is not landscape";
        EXPECT_GE(pages, 1) << s.name;
        // A wide summary goes across pages (at most four bands of columns).
        EXPECT_LE(pages, 4 * bound) << s.name;
        const std::string text = Command("pdftotext " + ShellQuote(pdf.string()) + " -");
        std::stringstream by_page(text);
        int page = 0;
        for (std::string content; std::getline(by_page, content, '\f') && page < pages; ++page) {
            EXPECT_NE(content.find("项目分组"), std::string::npos)
                << s.name << " page " << page + 1;
            EXPECT_NE(content.find(std::string(s.name)), std::string::npos)
                << s.name << " page " << page + 1 << ": the header";
            EXPECT_NE(content.find("共 " + std::to_string(pages) + " 页"), std::string::npos)
                << s.name << " page " << page + 1 << ": the footer";
        }
        EXPECT_EQ(page, pages) << s.name;
    }
}

// The smallest text on the pages of a PDF, in points: the height of the
// smallest word box pdftotext finds (from the font's ascent to its descent,
// 1.3 times the font size for the sheets' Carlito and Noto Sans CJK:
// measured 11.44 for 8.8 point), with that word.
std::pair<double, std::string> SmallestText(const std::filesystem::path& pdf) {
    const std::string html = Command("pdftotext -bbox " + ShellQuote(pdf.string()) + " -");
    std::pair<double, std::string> smallest{1e9, ""};
    for (std::size_t at = 0; (at = html.find("<word ", at)) != std::string::npos; ++at) {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (std::sscanf(html.c_str() + at,
                        "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &x0, &y0, &x1,
                        &y1) != 4)
            continue;
        const auto open = html.find('>', at) + 1;
        const std::string word = html.substr(open, html.find('<', open) - open);
        if (y1 - y0 < smallest.first) smallest = {y1 - y0, word};
    }
    return smallest;
}

// Printed by LibreOffice from a store of 2000 demo projects, no figure,
// label or heading of any of the twelve summaries is under 8 point.
TEST(SummaryLibreOffice, NoPrintedTextIsUnderEightPoint) {
    if (std::system("command -v soffice >/dev/null && command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "no LibreOffice or poppler";
    SmallStore store;
    ASSERT_NO_FATAL_FAILURE(PrintAllSummaries(store, 2000, 11));
    for (const auto& s : summary::Summaries()) {
        const auto pdf = store.dir() / "pdf" / (std::string(s.name) + "_2013.pdf");
        ASSERT_TRUE(std::filesystem::exists(pdf)) << "LibreOffice did not print " << s.name;
        const auto [height, word] = SmallestText(pdf);
        EXPECT_GE(height, 8.0 * 1.3)
            << s.name << ": \"" << word << "\" prints " << height << " points high";
    }
}

}  // namespace
}  // namespace zorbix::testing

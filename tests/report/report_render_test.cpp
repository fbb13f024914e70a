// A generated report as LibreOffice reads it: every value of a demo project
// stands beside its caption.
#include <gtest/gtest.h>

#include <sstream>

#include "report/project_report.h"
#include "report/report_placements.h"
#include "tests/report/report_fixture.h"
#include "tests/support/cli_runner.h"

namespace zorbix::report {
namespace {

namespace fs = std::filesystem;

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The document's text as LibreOffice exports it: one line per paragraph
// (a table cell's paragraph included).
std::vector<std::string> RenderedLines(const fs::path& docx, const fs::path& scratch) {
    const std::string command =
        "soffice -env:UserInstallation=file://" + (scratch / "profile").string() +
        " --headless --norestore --convert-to 'txt:Text (encoded):UTF8' --outdir " +
        testing::ShellQuote(scratch.string()) + " " + testing::ShellQuote(docx.string()) +
        " >/dev/null 2>&1";
    std::system(command.c_str());
    std::istringstream text(testing::Slurp(scratch / (docx.stem().string() + ".txt")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(Trim(line));
    return lines;
}

// The line is the value, or holds it as a word ("2012 年 02 月"), or holds
// a longer value anywhere.
bool Holds(const std::string& line, const std::string& value) {
    if (line == value || (value.size() >= 4 && line.find(value) != std::string::npos)) return true;
    std::istringstream words(line);
    for (std::string word; words >> word;)
        if (word == value) return true;
    return false;
}

// A line within `window` lines after a line of the caption holds the value.
bool StandsBeside(const std::vector<std::string>& lines, const std::string& caption,
                  const std::string& value, std::size_t window) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(caption) == std::string::npos) continue;
        for (std::size_t j = i + 1; j < lines.size() && j <= i + window; ++j)
            if (Holds(lines[j], value)) return true;
    }
    return false;
}

class ReportRender : public ReportFixture {};

TEST_F(ReportRender, EveryValueOfADemoProjectStandsBesideItsCaption) {
    if (std::system("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "no LibreOffice";
    AddDemo("201300000007", 11);
    records().SetValue("JDCG", "第一阶段完成。\r\n第二阶段<进行中>&继续");
    ASSERT_TRUE(MakeProjectReport(records(), prompter, dir.path()));
    const auto lines = RenderedLines(dir / "201300000007.docx", dir.path());
    ASSERT_GT(lines.size(), 100u) << "LibreOffice could not read the report";

    for (const auto& p : Placements()) {
        const std::string text = CutText(records().Value(p.column), p.take, p.first, p.count);
        if (text.empty() || p.column == "JDCG") continue;
        const std::string& caption = store::ColumnNamed(p.column).caption;
        // The participant grid has its captions once, over three rows of values.
        const bool grid = p.bookmark.starts_with("JB4") && p.bookmark.size() == 5;
        EXPECT_TRUE(StandsBeside(lines, caption, text, grid ? 40 : 4))
            << p.bookmark << " \"" << text << "\" not beside \"" << caption << "\"";
    }
    EXPECT_TRUE(StandsBeside(lines, "阶段成果简单描述", "第一阶段完成。", 3));
    EXPECT_TRUE(StandsBeside(lines, "第一阶段完成。", "第二阶段<进行中>&继续", 1));
}

}  // namespace
}  // namespace zorbix::report

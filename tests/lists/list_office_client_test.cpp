// Spreadsheet programs read the exported list as it is meant: LibreOffice
// opens the workbook and the CSV file (values, numbers as numbers, leading
// zeros kept in the workbook, line breaks inside a cell, the autofilter, no
// text run as a formula) and
// openpyxl finds the sheets, the frozen heading and the values. Slow (one
// LibreOffice start per file), so few tests.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "lists/project_list_export.h"
#include "lists/project_list_import.h"
#include "tests/lists/list_store.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_prompter.h"

namespace zorbix::testing {
namespace {

// The file as LibreOffice reads it, saved as flat OpenDocument XML.
std::string OpenedByLibreOffice(const std::filesystem::path& file, const std::string& filter = "") {
    const auto out = file.parent_path() / "opened";
    std::string command = "soffice --headless -env:UserInstallation=file://" +
                          (file.parent_path() / "profile").string() + filter +
                          " --convert-to fods --outdir " + ShellQuote(out.string()) + " " +
                          ShellQuote(file.string()) + " >/dev/null 2>&1";
    std::system(command.c_str());
    return Slurp(out / (file.stem().string() + ".fods"));
}

// A cell of that type and shown text stands in the document.
bool HasCell(const std::string& document, const std::string& type, const std::string& shown) {
    const std::regex cell("office:value-type=\"" + type + "\"[^>]*>\\s*" + shown +
                          "\\s*</table:table-cell>");
    return std::regex_search(document, cell);
}

class ListOfficeClient : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v soffice >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "no LibreOffice";
        store_.FillAwkward(3);
    }
    ListStore store_;
    RecordingPrompter prompter_;
};

TEST_F(ListOfficeClient, LibreOfficeOpensTheWorkbook) {
    const auto file = store_ / "list.xlsx";
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, file));
    const std::string doc = OpenedByLibreOffice(file);
    ASSERT_FALSE(doc.empty()) << "LibreOffice did not open " << file;
    EXPECT_TRUE(HasCell(doc, "string", "<text:p>000000000012</text:p>"));
    EXPECT_TRUE(HasCell(doc, "string", "<text:p>007</text:p>"));
    EXPECT_TRUE(HasCell(doc, "string", "<text:p>12.30</text:p>"));
    EXPECT_TRUE(HasCell(doc, "float", "<text:p>12.3</text:p>"));
    EXPECT_TRUE(HasCell(doc, "string", "<text:p>_x0041_</text:p>"));
    EXPECT_NE(doc.find("<text:p>第一行</text:p><text:p>第二行, &quot;引号&quot;</text:p>"),
              std::string::npos);
    EXPECT_NE(doc.find("单位&quot;甲&quot;,乙&amp;丙"), std::string::npos);
    EXPECT_TRUE(
        std::regex_search(doc, std::regex("table:target-range-address=\"[^\"]*A2:[^\"]*EG7\"")));
    EXPECT_NE(doc.find("table:name=\"审核结果\""), std::string::npos);
}

TEST_F(ListOfficeClient, LibreOfficeOpensTheCsvAsUtf8) {
    const auto file = store_ / "list.csv";
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, file));
    const std::string doc = OpenedByLibreOffice(file, " --infilter=CSV:44,34,76,1");
    ASSERT_FALSE(doc.empty()) << "LibreOffice did not open " << file;
    EXPECT_TRUE(HasCell(doc, "string", "<text:p>XH</text:p>"));  // no mark in the first cell
    EXPECT_TRUE(HasCell(doc, "string", "<text:p>零开头的编号</text:p>"));
    EXPECT_TRUE(HasCell(doc, "float", "<text:p>12.3</text:p>"));
    EXPECT_NE(doc.find("<text:p>第一行</text:p><text:p>第二行, &quot;引号&quot;</text:p>"),
              std::string::npos);
    EXPECT_NE(doc.find("单位&quot;甲&quot;,乙&amp;丙"), std::string::npos);
}

// Texts that begin like formulas are shown by LibreOffice as the texts they
// are (behind the guard's apostrophe), never computed.
TEST_F(ListOfficeClient, LibreOfficeRunsNoTextOfTheCsvAsAFormula) {
    ListStore store;
    store::Row row = store::MakeDemoProject("201300000001", 1);
    ListStore::Put(row, "JB01", "=1+1");
    ListStore::Put(row, "XMCDDW", "@SUM(1,2)");
    ListStore::Put(row, "BY1", "+2*3");
    ListStore::Put(row, "BY2", "-4+5");
    ListStore::Put(row, "JF1102", "-5");
    store.records().AddNew(row);
    store.records().Reopen();
    const auto file = store / "formulas.csv";
    ASSERT_TRUE(lists::ExportProjectListTo(store.records(), prompter_, file));
    const std::string doc = OpenedByLibreOffice(file, " --infilter=CSV:44,34,76,1");
    ASSERT_FALSE(doc.empty()) << "LibreOffice did not open " << file;
    EXPECT_EQ(doc.find("table:formula="), std::string::npos);
    for (const char* text : {"=1\\+1", "@SUM\\(1,2\\)", "\\+2\\*3", "-4\\+5"})  // as patterns
        EXPECT_TRUE(HasCell(doc, "string", "<text:p>&apos;" + std::string(text) + "</text:p>"))
            << text;
    EXPECT_TRUE(HasCell(doc, "float", "<text:p>-5</text:p>"));
}

// A workbook saved again by a spreadsheet program (shared strings, its own
// styles, line breaks as LF alone) imports to the same records.
TEST_F(ListOfficeClient, AWorkbookSavedByLibreOfficeImportsAsExported) {
    const auto file = store_ / "list.xlsx";
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, file));
    const auto saved = store_.dir() / "saved";
    std::system(("soffice --headless -env:UserInstallation=file://" +
                 (store_.dir() / "profile").string() + " --convert-to xlsx --outdir " +
                 ShellQuote(saved.string()) + " " + ShellQuote(file.string()) + " >/dev/null 2>&1")
                    .c_str());
    ASSERT_TRUE(std::filesystem::exists(saved / "list.xlsx"));
    ListStore target;
    const auto result =
        lists::ImportProjectListFrom(target.records(), prompter_, saved / "list.xlsx");
    ASSERT_EQ(result.outcome, base::Outcome::Done) << prompter_.Texts().back();
    ASSERT_EQ(target.records().Count(), store_.records().Count());
    for (int p = 1; p <= store_.records().Count(); ++p)
        for (int c = 0; c < store::kColumnCount; ++c)
            EXPECT_EQ(target.records().ReadRow(p)[c], store_.records().ReadRow(p)[c])
                << store::Columns()[c].name << " of " << p;
}

TEST_F(ListOfficeClient, OpenpyxlReadsTheWorkbook) {
    if (std::system("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null") != 0)
        GTEST_SKIP() << "no openpyxl";
    const auto file = store_ / "list.xlsx";
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, file));
    const auto script = store_ / "read.py";
    std::ofstream(script) << R"(import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb["项目"]
print("|".join(wb.sheetnames))
print(ws.freeze_panes, ws.auto_filter.ref)
names = [c.value for c in ws[2]]
for row in ws.iter_rows(min_row=3, values_only=True):
    if row[1] == "201399000001":
        for name in ("JB02", "JF1101", "JF1102", "JF1702", "XMCDDW", "BY2"):
            v = row[names.index(name)]
            print(name, type(v).__name__, repr(v))
)";
    const auto out = store_ / "read.txt";
    std::system(("/usr/bin/python3 " + ShellQuote(script.string()) + " " +
                 ShellQuote(file.string()) + " >" + ShellQuote(out.string()) + " 2>&1")
                    .c_str());
    EXPECT_EQ(Slurp(out),
              "项目|审核结果\n"
              "C3 A2:EG7\n"
              "JB02 str '201399000001'\n"
              "JF1101 str '007'\n"
              "JF1102 float 12.3\n"
              "JF1702 str '12.30'\n"
              "XMCDDW str '单位\"甲\",乙&丙'\n"
              "BY2 str ' 前后空格 '\n");
}

}  // namespace
}  // namespace zorbix::testing

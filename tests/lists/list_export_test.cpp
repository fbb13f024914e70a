// Export of the project list: the workbook's two sheets and the CSV file
// hold every stored value as the layout says, and bad targets write nothing.
#include <gtest/gtest.h>

#include "lists/list_columns.h"
#include "lists/project_list_export.h"
#include "office/cell_text.h"
#include "office/csv_text.h"
#include "office/sheet_reader.h"
#include "office/zip_archive.h"
#include "tests/lists/list_store.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_prompter.h"

namespace zorbix::testing {
namespace {

using office::Cell;

int Col(const char* name) { return store::ColumnIndex(name) + 1; }

class ListExport : public ::testing::Test {
protected:
    void SetUp() override { store_.FillAwkward(); }

    // Row of the sheet that holds the project (data from row 3).
    static int RowOf(const office::Sheet& sheet, std::string_view number) {
        for (int r = 3; r <= sheet.LastRow(); ++r)
            if (sheet.At(r, Col("JB02")).text == number) return r;
        return 0;
    }

    ListStore store_;
    RecordingPrompter prompter_;
};

TEST_F(ListExport, WorkbookHasCaptionsNamesAndEveryValue) {
    const auto file = store_ / "项目表_2013.xlsx";
    ASSERT_EQ(lists::ExportProjectListTo(store_.records(), prompter_, file), base::Outcome::Done);
    const office::Sheet sheet = office::ReadFirstSheet(file);
    EXPECT_EQ(sheet.At(1, Col("JB02")).text, "项目编号");
    EXPECT_EQ(sheet.At(1, Col("JF1101")).text, "省科技拨款(千元)累计数");
    EXPECT_EQ(sheet.At(1, Col("JF1102")).text, "省科技拨款(千元)当年数");
    EXPECT_EQ(sheet.At(1, Col("JL100")).text, "一、当年参加项目研究工作人员总数(人)");
    EXPECT_EQ(sheet.At(2, Col("JF1101")).text, "JF1101");
    EXPECT_EQ(sheet.At(2, 137).text, "BY3");
    ASSERT_EQ(sheet.LastRow(), 2 + store_.records().Count());
    for (int p = 1; p <= store_.records().Count(); ++p) {
        const store::Record record = store_.records().ReadRow(p);
        const int row = 2 + p;
        for (const store::Column& c : store::Columns()) {
            const Cell& cell = sheet.At(row, c.index + 1);
            EXPECT_EQ(cell.IsEmpty() ? "" : office::DecodeCellText(cell.text), record[c.index])
                << c.name << row;
            const bool number = lists::IsNumberColumn(c) && lists::ExactNumber(record[c.index]);
            if (!record[c.index].empty()) {
                EXPECT_EQ(cell.kind == Cell::Kind::Number, number) << c.name << row;
            }
        }
    }
}

TEST_F(ListExport, NumbersOnlyWhereTheyReadBackAsStored) {
    const auto file = store_ / "a.xlsx";
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, file));
    const office::Sheet sheet = office::ReadFirstSheet(file);
    const int row = RowOf(sheet, "201399000001");
    ASSERT_GT(row, 0);
    EXPECT_EQ(sheet.At(row, Col("JF1102")).kind, Cell::Kind::Number);
    EXPECT_EQ(sheet.At(row, Col("JF1102")).number, 12.3);
    for (const char* text_column : {"JF1101", "JF1701", "JF1702", "JL100"})
        EXPECT_EQ(sheet.At(row, Col(text_column)).kind, Cell::Kind::Text) << text_column;
    EXPECT_EQ(sheet.At(RowOf(sheet, "000000000012"), Col("JB02")).text, "000000000012");
}

TEST(ExactNumber, OnlyTheNumbersOwnShortestText) {
    EXPECT_EQ(lists::ExactNumber("12.3"), 12.3);
    EXPECT_EQ(lists::ExactNumber("5"), 5.0);
    EXPECT_EQ(lists::ExactNumber("-4"), -4.0);
    for (const char* text : {"", "007", "12.30", "5.0", "1e3", " 5", "5 ", ".5", "+5", "-0",
                             "1234567890123456", "0.30000000000000004", "3人", "."})
        EXPECT_FALSE(lists::ExactNumber(text)) << text;
    EXPECT_EQ(lists::StoredNumberText(12.300000000000001), "12.3");
    EXPECT_EQ(lists::StoredNumberText(5.0), "5");
    EXPECT_EQ(lists::StoredNumberText(-0.0), "0");
}

TEST_F(ListExport, FindingsSheetHasOneRowPerFinding) {
    store_.records().AddNew();  // an empty project: many findings
    store_.records().SetValue("JB02", "201388888888");
    store_.records().WriteBack();
    const auto file = store_ / "a.xlsx";
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, file));
    office::ZipArchive zip(file);
    EXPECT_TRUE(zip.Has("xl/worksheets/sheet2.xml"));
    const std::string findings = zip.Read("xl/worksheets/sheet2.xml");
    EXPECT_NE(findings.find("项目201388888888"), std::string::npos);
    EXPECT_NE(findings.find("审核结果"), std::string::npos);
}

// On paper the project list is landscape, its two heading rows and the
// number and name on every page.
TEST_F(ListExport, ThePrintedListIsLandscapeWithHeadingsOnEveryPage) {
    store_.FillAwkward(2);
    const auto file = store_ / "print.xlsx";
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, file));
    office::ZipArchive zip(file);
    const std::string sheet = zip.Read("xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<pageSetup paperSize=\"9\" scale=\"80\" orientation=\"landscape\"/>"),
              std::string::npos);
    EXPECT_NE(zip.Read("xl/workbook.xml")
                  .find("<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">"
                        "'项目'!$A:$B,'项目'!$1:$2</definedName>"),
              std::string::npos);
}

TEST_F(ListExport, CsvIsUtf8WithMarkQuotedAndCrLf) {
    const auto file = store_ / "a.csv";
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, file));
    const std::string text = Slurp(file);
    ASSERT_TRUE(text.starts_with("\xEF\xBB\xBFXH,JB02,JB01,"));
    EXPECT_NE(text.find("\"单位\"\"甲\"\",乙&丙\""), std::string::npos);
    EXPECT_NE(text.find("\"第一行\r\n第二行, \"\"引号\"\"\r\n<第三行> \""), std::string::npos);
    office::CsvReader reader(text, "a.csv");
    std::vector<std::string> fields;
    ASSERT_TRUE(reader.Next(fields));
    EXPECT_EQ(fields.size(), 137u);
    for (int p = 1; reader.Next(fields); ++p)
        EXPECT_EQ(store::Record(fields), store_.records().ReadRow(p)) << p;
}

TEST_F(ListExport, BadTargetsWriteNothing) {
    EXPECT_EQ(lists::ExportProjectListTo(store_.records(), prompter_, store_ / "a.txt"),
              base::Outcome::Failed);
    EXPECT_EQ(lists::ExportProjectListTo(store_.records(), prompter_, "/nonexistent/a.xlsx"),
              base::Outcome::Failed);
    EXPECT_NE(prompter_.Texts().back().find("项目表没有写出"), std::string::npos);
    EXPECT_EQ(lists::ExportProjectListTo(store_.records(), prompter_, "/nonexistent/a.csv"),
              base::Outcome::Failed);
    // A folder of the name: the complete temporary file cannot take it.
    std::filesystem::create_directory(store_ / "folder.csv");
    EXPECT_EQ(lists::ExportProjectListTo(store_.records(), prompter_, store_ / "folder.csv"),
              base::Outcome::Failed);
    EXPECT_TRUE(std::filesystem::is_empty(store_ / "folder.csv"));
    EXPECT_EQ(lists::ExportProjectListTo(store_.records(), prompter_, store_ / "zorbix2013.db.csv"),
              base::Outcome::Done);
    std::filesystem::remove(store_ / "zorbix2013.db.csv");
    for (const auto& e : std::filesystem::directory_iterator(store_.dir()))
        EXPECT_EQ(e.path().extension() == ".xlsx" || e.path().extension() == ".tmp", false)
            << e.path();
}

TEST_F(ListExport, KeepsTheCurrentRecord) {
    store_.records().MoveTo(3);
    ASSERT_TRUE(lists::ExportProjectListTo(store_.records(), prompter_, store_ / "a.csv"));
    EXPECT_EQ(store_.records().Position(), 3);
}

TEST(ListExportCli, ByExtensionElseBadUsage) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"demo", "5"}).status, 0);
    EXPECT_EQ(RunCli(dir.path(), {"export", (dir / "a.txt").string()}).status, 2);
    EXPECT_EQ(RunCli(dir.path(), {"export"}).status, 2);
    const auto r = RunCli(dir.path(), {"export", (dir / "A.XLSX").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("共5个项目"), std::string::npos);
    EXPECT_EQ(RunCli(dir.path(), {"export", (dir / "zorbix2013.db").string()}).status, 2);
    EXPECT_EQ(RunCli(dir.path(), {"export", (dir / "b.csv").string()}).status, 0);
}

}  // namespace
}  // namespace zorbix::testing

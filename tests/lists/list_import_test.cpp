// Import of a project list: the round trip of an export for both formats,
// the layout rules (heading in row 1 or 2, columns in any order, numbers as
// typed), the problems that refuse a whole file, the skipped stored
// numbers, and the safety nets (backup, one transaction, change history).
#include <gtest/gtest.h>

#include <fstream>

#include "exchange/exchange_operations.h"
#include "lists/import_plan.h"
#include "lists/list_columns.h"
#include "lists/project_list_export.h"
#include "lists/project_list_import.h"
#include "lists/spreadsheet_values.h"
#include "office/list_workbook.h"
#include "office/xlsx_cell_writer.h"
#include "office/xlsx_styles.h"
#include "store/backups.h"
#include "tests/lists/list_store.h"
#include "tests/reliability/hostile_files.h"
#include "tests/support/cli_runner.h"
#include "tests/support/param_names.h"
#include "tests/support/recording_prompter.h"

namespace zorbix::testing {
namespace {

using base::Outcome;

// Every record of the store, in store order.
std::vector<store::Record> AllRecords(store::RecordSet& records) {
    std::vector<store::Record> all;
    for (int p = 1; p <= records.Count(); ++p) all.push_back(records.ReadRow(p));
    return all;
}

// A workbook written cell by cell: rows of (column letter-free) texts, a
// number where the text is "#n:<number>".
void WriteWorkbook(const std::filesystem::path& file,
                   const std::vector<std::vector<std::string>>& rows) {
    office::ListWorkbook book(file);
    book.AddSheet("Sheet1");
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
            const std::string& v = rows[r][c];
            if (v.starts_with("#n:"))
                book.Number(r, c, std::stod(v.substr(3)));
            else
                book.Text(r, c, v);
        }
    book.Close();
}

class ListImport : public ::testing::Test {
protected:
    lists::ImportResult Import(const std::filesystem::path& file) {
        return lists::ImportProjectListFrom(target_.records(), prompter_, file);
    }
    std::string LastMessage() const {
        return prompter_.messages.empty() ? "" : prompter_.messages.back().text;
    }
    // The target store has nothing and no backup was made.
    void ExpectUnchanged() {
        EXPECT_EQ(target_.records().Count(), 0);
        EXPECT_FALSE(std::filesystem::exists(target_ / "backup") &&
                     !std::filesystem::is_empty(target_ / "backup"));
    }

    ListStore source_;
    ListStore target_;
    RecordingPrompter prompter_;
};

class ListRoundTrip : public ListImport, public ::testing::WithParamInterface<const char*> {};

TEST_P(ListRoundTrip, ExportThenImportGivesEqualRecords) {
    source_.FillAwkward(40);
    const auto file = source_ / (std::string("list.") + GetParam());
    ASSERT_TRUE(lists::ExportProjectListTo(source_.records(), prompter_, file));
    const auto result = Import(file);
    ASSERT_EQ(result.outcome, Outcome::Done) << LastMessage();
    EXPECT_EQ(result.added, source_.records().Count());
    target_.records().Reopen();
    const auto expected = AllRecords(source_.records());
    const auto imported = AllRecords(target_.records());
    ASSERT_EQ(imported.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        for (int c = 0; c < store::kColumnCount; ++c)
            EXPECT_EQ(imported[i][c], expected[i][c]) << store::Columns()[c].name << " of " << i;
}

INSTANTIATE_TEST_SUITE_P(BothFormats, ListRoundTrip, ::testing::Values("xlsx", "csv"), TextParam());

TEST_F(ListImport, HeadingInRowOneColumnsInAnyOrderNumbersAsTyped) {
    const auto file = target_ / "mine.xlsx";
    WriteWorkbook(file, {{"JF1102", "JB01", "JB02", "JL100"},
                         {"#n:12.300000000000001", "甲项目", "201300000001", "#n:5"},
                         {"", "乙项目", "#n:201300000002", "#n:0.1"}});
    const auto result = Import(file);
    ASSERT_EQ(result.outcome, Outcome::Done) << LastMessage();
    EXPECT_EQ(result.added, 2);
    const store::Record first = target_.records().ReadRow(1);
    EXPECT_EQ(first[store::ColumnIndex("JF1102")], "12.3");
    EXPECT_EQ(first[store::ColumnIndex("JL100")], "5");
    EXPECT_EQ(first[store::ColumnIndex("JB01")], "甲项目");
    EXPECT_EQ(first[store::ColumnIndex("JDCG")], "");
    EXPECT_EQ(target_.records().ReadRow(2)[1], "201300000002");
    // The findings of the imported projects are the panel's text.
    EXPECT_TRUE(result.panel.starts_with(" 审核结果\r\n项目201300000001"));
    EXPECT_EQ(target_.records().history().ForProject("201300000001").front().operation,
              "导入项目表");
    EXPECT_EQ(store::ListBackups(store::BackupFolder(target_.records().database())).size(), 1u);
}

TEST_F(ListImport, StoredNumbersAreSkippedWithTheAppendMessage) {
    source_.FillAwkward(3);
    const auto file = source_ / "list.csv";
    ASSERT_TRUE(lists::ExportProjectListTo(source_.records(), prompter_, file));
    target_.records().AddNew(source_.records().ReadRow(2).ToRow());
    const auto result = Import(file);
    ASSERT_EQ(result.outcome, Outcome::Done);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(result.added, source_.records().Count() - 1);
    const std::string number(source_.records().ReadRow(2)[1]);
    EXPECT_NE(
        std::find(prompter_.Texts().begin(), prompter_.Texts().end(), number + "项目编号已存在！"),
        prompter_.Texts().end());
}

struct BadList {
    const char* name;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> named;  // parts of the message
};

void PrintTo(const BadList& c, std::ostream* os) { *os << c.name; }

class ListImportProblems : public ListImport, public ::testing::WithParamInterface<BadList> {};

TEST_P(ListImportProblems, RefuseTheWholeFileNamingRowAndColumn) {
    const auto file = target_ / "bad.xlsx";
    WriteWorkbook(file, GetParam().rows);
    const auto result = Import(file);
    EXPECT_NE(result.outcome, Outcome::Done);
    for (const auto& part : GetParam().named)
        EXPECT_NE(LastMessage().find(part), std::string::npos) << LastMessage();
    EXPECT_NE(LastMessage().find("没有导入任何项目"), std::string::npos);
    ExpectUnchanged();
}

const std::string kLong = ListStore::LongestChinese(82);

INSTANTIATE_TEST_SUITE_P(
    Each, ListImportProblems,
    ::testing::Values(
        BadList{"twice",
                {{"JB02"}, {"201300000001"}, {"201300000003"}, {"201300000001"}},
                {"第4行的项目编号与第2行的相同"}},
        BadList{"no_number",
                {{"JB02", "JB01"}, {"201300000001", "a"}, {"", "b"}},
                {"第3行没有项目编号"}},
        BadList{"short", {{"JB02"}, {"2013001"}}, {"第2行的项目编号“2013001”不是12位"}},
        BadList{"tab",
                {{"JB02", "JB01"}, {"201300000001", "甲\t乙"}},
                {"B2单元格（JB01）含有控制字符（U+0009，制表符），不能导入"}},
        BadList{"line_break_in_a_one_line_field",
                {{"JB02", "XMCDDW"}, {"201300000001", "甲\n乙"}},
                {"B2单元格（XMCDDW）含有控制字符（U+000A，换行符）"}},
        BadList{"lone_cr_in_the_results",
                {{"JB02", "JDCG"}, {"201300000001", "甲\r乙"}},
                {"B2单元格（JDCG）含有控制字符（U+000D，回车符）"}},
        BadList{"outside_gbk",
                {{"JB02", "JB01"}, {"201300000001", "甲\xF0\x9F\x98\x80"}},
                {"B2单元格（JB01）含有GBK编码中没有的字符"}},
        BadList{"nan_text",
                {{"JB02", "JF1102"}, {"201300000001", "NaN"}},
                {"B2单元格（JF1102）的数值“NaN”不是有限的数"}},
        BadList{"infinite_texts",
                {{"JB02", "JF1101", "JF1102", "JL100"},
                 {"201300000001", "-Infinity", " +INF", "1e999"}},
                {"B2单元格（JF1101）", "C2单元格（JF1102）", "D2单元格（JL100）"}},
        BadList{"nan_number_cell",
                {{"JB02", "BY1"}, {"201300000001", "#n:nan"}},
                {"B2单元格（BY1）的数值", "不是有限的数"}},
        BadList{"infinite_number_cell",
                {{"JB02", "JF1102"}, {"201300000001", "#n:inf"}},
                {"B2单元格（JF1102）的数值", "不是有限的数"}},
        BadList{"heading_twice",
                {{"JB02", "JB02"}, {"201300000001", "201300000001"}},
                {"列名“JB02”出现了两次（A列和B列）"}},
        BadList{"no_heading", {{"项目编号"}, {"编号"}, {"201300000001"}}, {"不是列名行"}},
        BadList{"unnamed", {{"JB02"}, {"201300000001", "x"}}, {"B2单元格有内容，但B列没有列名"}},
        BadList{"empty", {}, {"没有任何内容"}},
        BadList{"heading_only", {{"标题"}, {"JB02"}}, {"没有项目数据"}}),
    NameMember());

TEST_F(ListImport, ValuesLongerThanTheirColumnAreTakenWhole) {
    const auto file = target_ / "long.xlsx";
    const std::string words(40000, 'a');
    WriteWorkbook(file, {{"JB02", "JB01", "JF1102", "BY1"},
                         {"201300000001", kLong, "nan-like text 1e-999", "-5"},
                         {"201300000002", "x", "1e-999", "NaNa"}});
    const auto result = Import(file);
    ASSERT_EQ(result.outcome, Outcome::Done) << LastMessage();
    EXPECT_EQ(target_.records().ReadRow(1)[store::ColumnIndex("JB01")], kLong);
    EXPECT_EQ(target_.records().ReadRow(2)[store::ColumnIndex("JF1102")], "1e-999");
    // Past what a cell holds is no value of the survey.
    const auto csv = target_ / "long.csv";
    std::ofstream(csv, std::ios::binary) << "JB02,JDCG\r\n201300000003," << words << "\r\n";
    EXPECT_EQ(Import(csv).outcome, Outcome::Refused);
    EXPECT_NE(
        LastMessage().find("B2单元格（JDCG）有40000个字符，超过了一个单元格能容纳的32767个字符"),
        std::string::npos)
        << LastMessage();
    EXPECT_EQ(target_.records().Count(), 2);
}

// Texts a spreadsheet would run as formulas go to CSV behind an apostrophe
// and come back exactly, texts that begin with apostrophes included; plain
// numbers of number columns need no guard.
TEST_F(ListImport, GuardedCsvTextsComeBackExactly) {
    store::Row row = store::MakeDemoProject("201300000001", 1);
    ListStore::Put(row, "JB01", "=1+1");
    ListStore::Put(row, "XMCDDW", "@SUM(A1)");
    ListStore::Put(row, "BY1", "'quoted");
    ListStore::Put(row, "BY2", "''two");
    ListStore::Put(row, "JDCG", "\r\n-第二行");
    ListStore::Put(row, "JF1102", "-5");
    ListStore::Put(row, "JF1101", "-1.5");
    ListStore::Put(row, "JF1701", "+3");
    ListStore::Put(row, "JF1702", "-007");
    source_.records().AddNew(row);
    store::Row second = store::MakeDemoProject("201300000002", 2);
    ListStore::Put(second, "JB01", "-5");
    ListStore::Put(second, "XMCDDW", "+86 10 1234");
    source_.records().AddNew(second);
    source_.records().Reopen();
    const auto file = source_ / "list.csv";
    ASSERT_TRUE(lists::ExportProjectListTo(source_.records(), prompter_, file));
    const std::string text = Slurp(file);
    for (const char* guarded : {",'=1+1,", ",'@SUM(A1),", ",'-5,", ",'+86 10 1234,", ",''quoted,",
                                ",'''two,", ",\"'\r\n-第二行\",", ",'+3,", ",'-007,"})
        EXPECT_NE(text.find(guarded), std::string::npos) << guarded;
    for (const char* plain : {",-5,", ",-1.5,"}) EXPECT_NE(text.find(plain), std::string::npos);
    ASSERT_EQ(Import(file).outcome, Outcome::Done) << LastMessage();
    target_.records().Reopen();
    for (int p = 1; p <= 2; ++p)
        for (int c = 0; c < store::kColumnCount; ++c)
            EXPECT_EQ(target_.records().ReadRow(p)[c], source_.records().ReadRow(p)[c])
                << store::Columns()[c].name << " of " << p;
}

// Values longer than their column's limit reach the store whole through an
// exchange file; an export of such a store imports back unchanged.
TEST_F(ListImport, OverLongValuesFromAnExchangeFileRoundTrip) {
    std::string record;
    for (int c = 0; c < store::kColumnCount; ++c) {
        std::string value = c == 1 ? "201300000001" : "v";
        if (c == store::ColumnIndex("JB01")) value = std::string(300, 'n') + "长";
        if (c == store::ColumnIndex("XMCDDW")) value = ListStore::LongestChinese(400);
        record += "\"" + value + "\",";
    }
    std::ofstream(source_ / "in.kj", std::ios::binary) << base::ToGbk(record);
    prompter_.files.push_back(source_ / "in.kj");
    ASSERT_EQ(exchange::AppendProjects(source_.records(), prompter_, source_.dir()).outcome,
              Outcome::Done);
    for (const char* format : {"xlsx", "csv"}) {
        const auto file = source_ / (std::string("long.") + format);
        ASSERT_TRUE(lists::ExportProjectListTo(source_.records(), prompter_, file));
        ListStore target;
        const auto result = lists::ImportProjectListFrom(target.records(), prompter_, file);
        ASSERT_EQ(result.outcome, Outcome::Done) << format << ": " << LastMessage();
        for (int c = 0; c < store::kColumnCount; ++c)
            EXPECT_EQ(target.records().ReadRow(1)[c], source_.records().ReadRow(1)[c])
                << format << " " << store::Columns()[c].name;
    }
}

// A list whose records take more than the plan keeps is read again as it
// is written, to the same records.
TEST_F(ListImport, ALargeListIsReadAgainAsItIsWritten) {
    std::string results;
    for (int i = 0; i < 15000; ++i) results += "测";
    const auto file = target_ / "large.csv";
    {
        std::ofstream out(file, std::ios::binary);
        out << "JB02,JB01,JDCG\r\n";
        for (int r = 0; r < 1600; ++r)
            out << "2013" << 10000000 + r << ",项目" << r << "," << results << r << "\r\n";
    }
    EXPECT_FALSE(lists::PlanImport(file, lists::ListFormat::Csv).kept);
    const auto result = Import(file);
    ASSERT_EQ(result.outcome, Outcome::Done) << LastMessage();
    EXPECT_EQ(result.added, 1600);
    target_.records().Reopen();
    EXPECT_EQ(target_.records().ReadRow(1600)[store::ColumnIndex("JDCG")], results + "1599");
    EXPECT_EQ(target_.records().ReadRow(7)[1], "201310000006");
}

TEST_F(ListImport, NamesTwentyProblemsAndCountsTheRest) {
    std::vector<std::vector<std::string>> rows = {{"JB02"}};
    for (int i = 0; i < 30; ++i) rows.push_back({"x" + std::to_string(i)});
    const auto file = target_ / "many.xlsx";
    WriteWorkbook(file, rows);
    EXPECT_EQ(Import(file).outcome, Outcome::Refused);
    EXPECT_NE(LastMessage().find("有30处问题"), std::string::npos);
    EXPECT_NE(LastMessage().find("第21行"), std::string::npos);
    EXPECT_EQ(LastMessage().find("第22行"), std::string::npos);
    EXPECT_NE(LastMessage().find("其余10处问题没有列出"), std::string::npos);
    ExpectUnchanged();
}

// A workbook whose row 2 holds the given cells (raw XML) under `headings`,
// with style 9 a date format ("yyyy年m月"), as spreadsheets write dates.
void WriteRawRow(const std::filesystem::path& file, const std::vector<std::string>& headings,
                 const std::string& cells) {
    const auto plain = file.parent_path() / "plain.xlsx";
    WriteWorkbook(plain, {headings});
    auto entries = StoredParts(plain);
    for (auto& e : entries) {
        if (e.name == "xl/worksheets/sheet1.xml") {
            const auto end = e.data.find("</sheetData>");
            e = Stored(e.name, e.data.substr(0, end) + "<row r=\"2\">" + cells + "</row>" +
                                   e.data.substr(end));
        }
        if (e.name == "xl/styles.xml") {
            std::string xfs;
            for (int i = 0; i < 9; ++i) xfs += "<xf numFmtId=\"0\"/>";
            e = Stored(
                e.name,
                "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                "<numFmts count=\"1\"><numFmt numFmtId=\"164\" "
                "formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;\"/></numFmts>"
                "<cellXfs>" +
                    xfs + "<xf numFmtId=\"164\"/></cellXfs></styleSheet>");
        }
    }
    WriteRawZip(file, entries);
}

// A workbook whose sheet has a cell styled as a date, or a boolean.
void WriteTypedCells(const std::filesystem::path& file) {
    WriteRawRow(file, {"JB02", "TBSJ", "BY1"},
                "<c r=\"A2\" t=\"inlineStr\"><is><t>201300000001</t></is></c>"
                "<c r=\"B2\" s=\"9\"><v>41395</v></c><c r=\"C2\" t=\"b\"><v>1</v></c>");
}

TEST_F(ListImport, DateAndBooleanCellsAreRefusedWithTheirAddress) {
    const auto file = target_ / "typed.xlsx";
    WriteTypedCells(file);
    EXPECT_EQ(Import(file).outcome, Outcome::Refused);
    EXPECT_EQ(LastMessage().find("TBSJ"), std::string::npos) << "a date is taken as a date";
    EXPECT_NE(LastMessage().find("C2单元格（BY1）是逻辑值"), std::string::npos) << LastMessage();
    ExpectUnchanged();
}

// A computed number is taken as the spreadsheet shows it (15 significant
// digits), a date cell as the date in its column's form.
TEST_F(ListImport, ComputedNumbersAndDatesAreTakenAsASpreadsheetShowsThem) {
    ASSERT_LT(store::Columns()[store::ColumnIndex("JF1102")].max_bytes, 18);
    const auto file = target_ / "computed.xlsx";
    WriteRawRow(file, {"JB02", "JF1102", "JL100", "TBSJ", "JB82", "JB01"},
                "<c r=\"A2\"><v>201300000001</v></c>"
                "<c r=\"B2\"><v>2664.0000000000005</v></c>"
                "<c r=\"C2\"><v>0.30000000000000004</v></c>"
                "<c r=\"D2\" s=\"9\"><v>41631</v></c>"
                "<c r=\"E2\" s=\"9\"><v>41631</v></c>"
                "<c r=\"F2\" t=\"d\"><v>2013-12-23T00:00:00</v></c>");
    ASSERT_EQ(Import(file).outcome, Outcome::Done) << LastMessage();
    const store::Record first = target_.records().ReadRow(1);
    EXPECT_EQ(first[store::ColumnIndex("JF1102")], "2664");
    EXPECT_EQ(first[store::ColumnIndex("JL100")], "0.3");
    EXPECT_EQ(first[store::ColumnIndex("TBSJ")], "2013-12-23");
    EXPECT_EQ(first[store::ColumnIndex("JB82")], "2013-12");
    EXPECT_EQ(first[store::ColumnIndex("JB01")], "2013-12-23");
}

TEST_F(ListImport, ADateWhereNoDateBelongsIsNamedAsADate) {
    const auto file = target_ / "date.xlsx";
    WriteRawRow(file, {"JB02", "JF1102"},
                "<c r=\"A2\"><v>201300000001</v></c><c r=\"B2\" s=\"9\"><v>41631</v></c>");
    EXPECT_EQ(Import(file).outcome, Outcome::Refused);
    EXPECT_NE(LastMessage().find("B2单元格（JF1102）是日期或时间“2013-12-23”"), std::string::npos)
        << LastMessage();
    ExpectUnchanged();
}

TEST(SpreadsheetDates, SerialsAndIsoDatesInTheColumnsForm) {
    lists::ListCell cell;
    cell.kind = lists::ListCell::Kind::Date;
    cell.number = 41631.75;
    cell.text = "41631.75";
    EXPECT_EQ(lists::DateCellValue(cell, store::Kind::Date), "2013-12-23");
    EXPECT_EQ(lists::DateCellValue(cell, store::Kind::YearMonth), "2013-12");
    EXPECT_EQ(lists::DateCellValue(cell, store::Kind::Year), "2013");
    EXPECT_EQ(lists::DateCellValue(cell, store::Kind::Number), std::nullopt);
    EXPECT_EQ(lists::DateCellDisplay(cell), "2013-12-23 18:00");
    cell.number = 1, cell.text = "1";
    EXPECT_EQ(lists::DateCellValue(cell, store::Kind::Date), "1900-01-01");
    cell.number = 0.5, cell.text = "0.5";
    EXPECT_EQ(lists::DateCellValue(cell, store::Kind::Date), std::nullopt) << "a time alone";
    EXPECT_EQ(lists::DateCellDisplay(cell), "12:00");
    for (double beyond : {-1.0, 1e300, 3e6}) {
        cell.number = beyond, cell.text = "x";
        EXPECT_EQ(lists::DateCellValue(cell, store::Kind::Date), std::nullopt) << beyond;
        EXPECT_EQ(lists::DateCellDisplay(cell), "x");
    }
    cell.text = "2013-06-30T08:05:00";
    EXPECT_EQ(lists::DateCellValue(cell, store::Kind::YearMonth), "2013-06");
    EXPECT_EQ(lists::DateCellDisplay(cell), "2013-06-30 08:05");
}

TEST(SpreadsheetNumbers, FifteenSignificantDigitsAsSpreadsheetsShowThem) {
    EXPECT_EQ(lists::SpreadsheetNumberText(2664.0000000000005), "2664");
    EXPECT_EQ(lists::SpreadsheetNumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(lists::SpreadsheetNumberText(12.3), "12.3");
    EXPECT_EQ(lists::SpreadsheetNumberText(-0.0), "0");
    EXPECT_EQ(lists::SpreadsheetNumberText(201300001234.0), "201300001234");
    EXPECT_EQ(lists::SpreadsheetNumberText(123456789012345.0), "123456789012345");
    EXPECT_EQ(lists::SpreadsheetNumberText(1e20), lists::StoredNumberText(1e20));
}

// A clerk's own column (备注) is left out with one notice naming it; its
// cells raise no second message.
TEST_F(ListImport, AClerksOwnColumnIsLeftOutWithOneNotice) {
    const auto file = target_ / "remarks.xlsx";
    WriteWorkbook(file, {{"JB02", "备注", "JB01"},
                         {"201300000001", "已核对", "甲项目"},
                         {"201300000002", "待补", "乙项目"}});
    const auto result = Import(file);
    ASSERT_EQ(result.outcome, Outcome::Done) << LastMessage();
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(target_.records().ReadRow(1)[store::ColumnIndex("JB01")], "甲项目");
    int notices = 0;
    for (const auto& text : prompter_.Texts()) {
        for (std::size_t at = 0; (at = text.find("备注", at)) != std::string::npos; ++at) ++notices;
        EXPECT_EQ(text.find("没有列名"), std::string::npos) << text;
    }
    EXPECT_EQ(notices, 1);
    EXPECT_NE(LastMessage().find("B列“备注”不是项目表的列，没有导入。"), std::string::npos)
        << LastMessage();
}

TEST(DateFormats, DatesAndTimesButNotNumbers) {
    for (const char* code : {"yyyy-mm-dd", "h:mm", "[$-804]yyyy\"年\"m\"月\"", "[h]:mm", "m/d/yy"})
        EXPECT_TRUE(office::IsDateFormat(code)) << code;
    for (const char* code : {"0.00", "@", "\"d\"0", "#,##0", "[Red]0.0", "0\\d"})
        EXPECT_FALSE(office::IsDateFormat(code)) << code;
}

class ListImportBadFiles : public ListImport {
protected:
    std::filesystem::path Exported() {
        source_.FillAwkward(2);
        const auto file = source_ / "list.xlsx";
        EXPECT_TRUE(lists::ExportProjectListTo(source_.records(), prompter_, file));
        return file;
    }
    void ExpectRefused(const std::filesystem::path& file, const std::string& part) {
        EXPECT_EQ(Import(file).outcome, Outcome::Failed);
        EXPECT_NE(LastMessage().find(part), std::string::npos) << LastMessage();
        EXPECT_NE(LastMessage().find("没有导入任何项目"), std::string::npos) << LastMessage();
        ExpectUnchanged();
    }
};

TEST_F(ListImportBadFiles, NotAWorkbook) {
    std::ofstream(target_ / "text.xlsx") << "JB02\r\n201300000001\r\n";
    ExpectRefused(target_ / "text.xlsx", "不是Excel工作簿（.xlsx）");
    ExpectRefused(target_ / "missing.csv", "找不到");
}

TEST_F(ListImportBadFiles, Truncated) {
    const std::string bytes = Slurp(Exported());
    std::ofstream(target_ / "cut.xlsx", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    ExpectRefused(target_ / "cut.xlsx", "cut.xlsx");
}

TEST_F(ListImportBadFiles, ZipBombAndLyingSize) {
    const auto file = Exported();
    RewriteWithPart(file, target_ / "bomb.xlsx",
                    ZerosBomb("xl/worksheets/sheet1.xml", 3072, 3072u << 20));
    ExpectRefused(target_ / "bomb.xlsx", "解压后过大");
    RewriteWithPart(file, target_ / "liar.xlsx", ZerosBomb("xl/worksheets/sheet1.xml", 64, 1000));
    ExpectRefused(target_ / "liar.xlsx", "已损坏");
}

TEST_F(ListImportBadFiles, EntityExpansion) {
    const auto file = Exported();
    RewriteWithPart(
        file, target_ / "laughs.xlsx",
        Stored("xl/worksheets/sheet1.xml",
               BillionLaughs("<worksheet><sheetData><row r=\"1\"><c t=\"inlineStr\"><is><t>",
                             "</t></is></c></row></sheetData></worksheet>")));
    ExpectRefused(target_ / "laughs.xlsx", "含有文档类型定义");
}

TEST_F(ListImportBadFiles, CsvWithUnclosedQuote) {
    std::ofstream(target_ / "open.csv", std::ios::binary)
        << "JB02,JB01\r\n201300000001,\"甲\r\n201300000002,乙\r\n";
    ExpectRefused(target_ / "open.csv", "第2行开始的双引号没有结束");
}

TEST_F(ListImport, GbkCsvAsExcelSavesItOnChineseDesktops) {
    std::ofstream(target_ / "gbk.csv", std::ios::binary)
        << base::ToGbk("JB02,JB01\r\n201300000001,甲项目\r\n");
    ASSERT_EQ(Import(target_ / "gbk.csv").outcome, Outcome::Done) << LastMessage();
    EXPECT_EQ(target_.records().ReadRow(1)[2], "甲项目");
}

TEST_F(ListImport, CliPrintsTheFindingsAndNamesBadUsage) {
    source_.FillAwkward(2);
    const auto file = source_ / "list.xlsx";
    ASSERT_TRUE(lists::ExportProjectListTo(source_.records(), prompter_, file));
    source_.Close();
    target_.Close();
    const auto r = RunCli(target_.dir(), {"import", file.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with(" 审核结果\n")) << r.out;
    EXPECT_NE(r.err.find("导入项目表完成：导入4个项目。"), std::string::npos) << r.err;
    EXPECT_EQ(RunCli(target_.dir(), {"import", (target_ / "x.txt").string()}).status, 2);
    const auto again = RunCli(target_.dir(), {"import", file.string()});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.err.find("4个项目的编号已存在"), std::string::npos) << again.err;
    std::ofstream(target_ / "bad.csv") << "JB02\r\n1\r\n";
    EXPECT_EQ(RunCli(target_.dir(), {"import", (target_ / "bad.csv").string()}).status, 1);
}

}  // namespace
}  // namespace zorbix::testing

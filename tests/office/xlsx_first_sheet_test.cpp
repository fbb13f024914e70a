// The two ways one xlsx reader hands out a first sheet: rows for the project
// list (texts as the user sees them) and a Sheet for the plan workbook
// (texts as the file spells them, as the plan has always been read). Each
// case is a cell the two readings tell apart.
#include <gtest/gtest.h>

#include <vector>

#include "base/error.h"
#include "office/sheet_reader.h"
#include "office/xlsx_rows.h"
#include "office/zip_archive.h"
#include "tests/office/test_workbooks.h"
#include "tests/support/param_names.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

using office::Cell;
using office::ListCell;

struct CellCase {
    const char* name;
    std::string cell;    // the <c> element at A1
    std::string shared;  // the shared string items
    Cell::Kind plan_kind;
    std::string plan_text;
    ListCell::Kind list_kind;
    std::string list_text;
};

void PrintTo(const CellCase& c, std::ostream* os) { *os << c.name; }

const CellCase kCases[] = {
    {"SharedStringWithAnEscape", "<c r=\"A1\" t=\"s\"><v>0</v></c>", "<si><t>甲_x000D_乙</t></si>",
     Cell::Kind::Text, "甲_x000D_乙", ListCell::Kind::Text, "甲\r乙"},
    {"InlineStringWithAnEscape", "<c r=\"A1\" t=\"inlineStr\"><is><t>_x0041_</t></is></c>", "",
     Cell::Kind::Text, "_x0041_", ListCell::Kind::Text, "A"},
    {"FormulaTextWithAnEscapedUnderscore",
     "<c r=\"A1\" t=\"str\"><f>B1</f><v>a_x005F_x0041_</v></c>", "", Cell::Kind::Text,
     "a_x005F_x0041_", ListCell::Kind::Text, "a_x0041_"},
    {"IsoDate", "<c r=\"A1\" t=\"d\"><v>2013-12-23T08:30:00</v></c>", "", Cell::Kind::Text,
     "2013-12-23T08:30:00", ListCell::Kind::Date, "2013-12-23T08:30:00"},
    {"Boolean", "<c r=\"A1\" t=\"b\"><v>0</v></c>", "", Cell::Kind::Text, "FALSE",
     ListCell::Kind::Boolean, "FALSE"},
    {"ErrorValue", "<c r=\"A1\" t=\"e\"><v>#DIV/0!</v></c>", "", Cell::Kind::Text, "#DIV/0!",
     ListCell::Kind::Error, "#DIV/0!"},
    {"ProjectNumber", "<c r=\"A1\"><v>201300000001</v></c>", "", Cell::Kind::Number, "201300000001",
     ListCell::Kind::Number, "201300000001"},
};

class XlsxFirstSheet : public ::testing::TestWithParam<CellCase> {};

TEST_P(XlsxFirstSheet, PlanKeepsTheFilesTextListShowsTheUsers) {
    const CellCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "a.xlsx";
    WriteXlsxParts(file, "<row r=\"1\">" + c.cell + "</row>", c.shared);

    const office::Sheet sheet = office::ReadFirstSheet(file);
    EXPECT_EQ(sheet.CellCount(), 1u);
    EXPECT_EQ(sheet.At(1, 1).kind, c.plan_kind);
    EXPECT_EQ(sheet.At(1, 1).text, c.plan_text);

    std::vector<ListCell> cells;
    office::ReadXlsxRows(file, [&](int row, std::span<const ListCell> read) {
        EXPECT_EQ(row, 1);
        cells.assign(read.begin(), read.end());
    });
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0].column, 1);
    EXPECT_EQ(cells[0].kind, c.list_kind);
    EXPECT_EQ(cells[0].text, c.list_text);
}

INSTANTIATE_TEST_SUITE_P(Cells, XlsxFirstSheet, ::testing::ValuesIn(kCases), NameMember());

// An error cell without its value is no cell of the plan's sheet.
TEST(XlsxFirstSheetOfAPlan, AnErrorWithoutValueIsEmpty) {
    TempDir dir;
    WriteXlsxParts(dir / "e.xlsx", "<row r=\"1\"><c r=\"A1\" t=\"e\"><v></v></c></row>");
    EXPECT_EQ(office::ReadFirstSheet(dir / "e.xlsx").CellCount(), 0u);
}

// A damaged row or cell: the plan names the file and the damage in the
// first sheet, the project list the file's part.
struct DamageCase {
    const char* name;
    std::string data;
    std::string why;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

const DamageCase kDamages[] = {
    {"RowNumber", "<row r=\"0\"><c><v>5</v></c></row>", "行号无效"},
    {"CellReference", "<row r=\"1\"><c r=\"1A\"><v>5</v></c></row>", "单元格位置“1A”无效"},
    {"Number", "<row r=\"1\"><c r=\"A1\"><v>12abc</v></c></row>", "数值“12abc”无效"},
    {"SharedStringIndex", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>",
     "共享字符串编号“5”无效"},
};

class XlsxFirstSheetDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(XlsxFirstSheetDamage, PlanAndListNameIt) {
    const DamageCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "d.xlsx";
    WriteXlsxParts(file, c.data);
    try {
        office::ReadFirstSheet(file);
        ADD_FAILURE() << "the plan's sheet was read";
    } catch (const base::Failure& e) {
        EXPECT_EQ(std::string(e.what()),
                  "文件“" + file.string() + "”已损坏（第一张工作表中" + c.why + "）。");
    }
    try {
        office::ReadXlsxRows(file, [](int, std::span<const ListCell>) {});
        ADD_FAILURE() << "the list's rows were read";
    } catch (const base::Failure& e) {
        EXPECT_EQ(std::string(e.what()),
                  "文件“" + file.string() + "”的xl/worksheets/sheet1.xml已损坏（" + c.why + "）。");
    }
}

INSTANTIATE_TEST_SUITE_P(Damages, XlsxFirstSheetDamage, ::testing::ValuesIn(kDamages),
                         NameMember());

// A first sheet without its data part is a damaged file, not an empty plan.
TEST(XlsxFirstSheetOfAPlan, ASheetWithoutDataIsRefused) {
    TempDir dir;
    const auto whole = dir / "whole.xlsx";
    WriteXlsxParts(whole, "");
    const office::ZipArchive package(whole);
    std::vector<std::pair<std::string, std::string>> parts;
    for (const std::string& name : package.Names()) {
        std::string bytes = package.Read(name);
        if (name == "xl/worksheets/sheet1.xml") {
            const auto from = bytes.find("<sheetData>");
            const auto to = bytes.find("</sheetData>") + std::string("</sheetData>").size();
            bytes.erase(from, to - from);
        }
        parts.emplace_back(name, bytes);
    }
    const auto file = dir / "nodata.xlsx";
    office::WriteZip(file, parts);
    try {
        office::ReadFirstSheet(file);
        ADD_FAILURE() << "a sheet without sheetData was read";
    } catch (const base::Failure& e) {
        EXPECT_NE(std::string(e.what()).find("nodata.xlsx”的第一张工作表缺少数据部分（sheetData）"),
                  std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace zorbix::testing

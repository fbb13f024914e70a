// Reading the first sheet of workbooks made here: every kind of xlsx cell,
// numbers as the digits a clerk typed, and the refusals of broken files.
#include "office/sheet_reader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/error.h"
#include "tests/office/test_workbooks.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

using office::Cell;

TEST(NumberText, WholeNumbersAsDigitsOthersShortest) {
    const std::vector<std::pair<double, std::string>> cases = {
        {201300000001.0, "201300000001"},
        {1234.56, "1234.56"},
        {1234.5599999999999, "1234.56"},
        {0.0, "0"},
        {-5.0, "-5"},
        {123.4, "123.4"},
        {0.1, "0.1"},
        {999999999999.0, "999999999999"},
        {1e20, "1e+20"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(office::NumberText(value), text) << text;
}

TEST(XlsxSheet, ReadsEveryKindOfCell) {
    TempDir dir;
    const std::string shared =
        "<si><t>计划</t></si>"
        "<si><r><t>科技</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\"> 项目</t></r>"
        "<rPh sb=\"0\" eb=\"2\"><t>カガク</t></rPh></si>"
        "<si><t xml:space=\"preserve\"> 前后有空格 </t></si>";
    const std::string data =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c></row>"
        "<row r=\"2\"><c r=\"B2\"><v>201300000001</v></c><c r=\"C2\"><v>1234.56</v></c>"
        "<c r=\"D2\" t=\"inlineStr\"><is><t>内联</t></is></c>"
        "<c r=\"E2\" t=\"str\"><f>A1</f><v>公式结果</v></c>"
        "<c r=\"F2\" t=\"b\"><v>1</v></c><c r=\"G2\" t=\"e\"><v>#N/A</v></c>"
        "<c r=\"H2\" s=\"3\"/><c r=\"AB2\"><v>-7.5</v></c></row>";
    WriteXlsxParts(dir / "a.xlsx", data, shared, "planSheet.xml");
    const office::Sheet sheet = office::ReadFirstSheet(dir / "a.xlsx");

    EXPECT_EQ(sheet.At(1, 1).text, "计划");
    EXPECT_EQ(sheet.At(1, 2).text, "科技 项目");
    EXPECT_EQ(sheet.At(1, 3).text, " 前后有空格 ");
    EXPECT_EQ(sheet.At(2, 2).kind, Cell::Kind::Number);
    EXPECT_EQ(sheet.At(2, 2).text, "201300000001");
    EXPECT_EQ(sheet.At(2, 2).number, 201300000001.0);
    EXPECT_EQ(sheet.At(2, 3).text, "1234.56");
    EXPECT_EQ(sheet.At(2, 4).text, "内联");
    EXPECT_EQ(sheet.At(2, 5).text, "公式结果");
    EXPECT_EQ(sheet.At(2, 6).text, "TRUE");
    EXPECT_EQ(sheet.At(2, 7).text, "#N/A");
    EXPECT_TRUE(sheet.At(2, 8).IsEmpty());
    EXPECT_EQ(sheet.At(2, 28).number, -7.5);
    EXPECT_TRUE(sheet.At(3, 1).IsEmpty());
    EXPECT_EQ(sheet.LastRow(), 2);
}

TEST(XlsxSheet, TextCellsCarryTheirNumericValue) {
    TempDir dir;
    WriteTestXlsx(dir / "t.xlsx", {{std::string("0201300000001"), std::string("123.5万")}});
    const auto sheet = office::ReadFirstSheet(dir / "t.xlsx");
    EXPECT_EQ(sheet.At(1, 1).kind, Cell::Kind::Text);
    EXPECT_EQ(sheet.At(1, 1).text, "0201300000001");
    EXPECT_EQ(sheet.At(1, 1).number, 201300000001.0);
    EXPECT_EQ(sheet.At(1, 2).number, 123.5);
}

TEST(XlsxSheet, CellsWithoutReferencesFollowOneAnother) {
    TempDir dir;
    WriteXlsxParts(dir / "n.xlsx",
                   "<row><c><v>1</v></c><c><v>2</v></c></row>"
                   "<row><c r=\"C2\"><v>3</v></c><c><v>4</v></c></row>");
    const auto sheet = office::ReadFirstSheet(dir / "n.xlsx");
    EXPECT_EQ(sheet.At(1, 1).number, 1);
    EXPECT_EQ(sheet.At(1, 2).number, 2);
    EXPECT_EQ(sheet.At(2, 3).number, 3);
    EXPECT_EQ(sheet.At(2, 4).number, 4);
}

TEST(XlsxSheet, AFarCornerCellCostsNothing) {
    TempDir dir;
    WriteXlsxParts(dir / "far.xlsx", "<row r=\"1048576\"><c r=\"XFD1048576\"><v>9</v></c></row>");
    const auto sheet = office::ReadFirstSheet(dir / "far.xlsx");
    EXPECT_EQ(sheet.CellCount(), 1u);
    EXPECT_EQ(sheet.At(1048576, 16384).number, 9);
    EXPECT_EQ(sheet.LastRow(), 1048576);
}

// Each broken file is refused with a message naming the file.
TEST(XlsxSheet, BrokenFilesAreRefusedNamingTheFile) {
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"index.xlsx", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>"},
        {"ref.xlsx", "<row r=\"1\"><c r=\"1A\"><v>5</v></c></row>"},
        {"col.xlsx", "<row r=\"1\"><c r=\"XFE1\"><v>5</v></c></row>"},
        {"row.xlsx", "<row r=\"0\"><c><v>5</v></c></row>"},
        {"num.xlsx", "<row r=\"1\"><c r=\"A1\"><v>12abc</v></c></row>"},
        {"xml.xlsx", "<row r=\"1\"><c r=\"A1\"><v>1</v></row>"},
    };
    for (const auto& [name, data] : broken) {
        WriteXlsxParts(dir / name, data);
        try {
            office::ReadFirstSheet(dir / name);
            ADD_FAILURE() << name << " was read";
        } catch (const base::Failure& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
}

TEST(Workbook, NeitherZipNorXlsIsRefused) {
    TempDir dir;
    std::ofstream(dir / "plain.xlsx") << "项目编号,名称\n201300000001,甲\n";
    std::ofstream(dir / "fake.xls")
        << std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) << std::string(600, '\x01');
    std::ofstream(dir / "empty.xls");
    for (const char* name : {"plain.xlsx", "fake.xls", "empty.xls", "missing.xlsx"}) {
        try {
            office::ReadFirstSheet(dir / name);
            ADD_FAILURE() << name << " was read";
        } catch (const base::Failure& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace zorbix::testing

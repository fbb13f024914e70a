// The sheet writer's XML: how texts, numbers and styles are spelled, and
// the layout and dimension around the rows, also when the rows have gone
// to the file in many pieces.
#include "office/sheet_xml.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/error.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

using office::CellStyle;
using office::SheetXml;

class SheetXmlTest : public ::testing::Test {
protected:
    TempDir temp_;

    std::string Written(SheetXml& sheet) {
        sheet.Finish(dir_ / "book.xlsx");
        std::ifstream in(sheet.file(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    const std::filesystem::path& dir_ = temp_.path();
};

TEST_F(SheetXmlTest, TextsAreEscapedAsSpreadsheetsReadThem) {
    struct Case {
        std::string text, xml;
    };
    const Case cases[] = {
        {"a&b<c>\"d'", "<t>a&amp;b&lt;c&gt;\"d'</t>"},
        {"line\r\nnext\tx", "<t>line_x000D_\nnext\tx</t>"},
        {std::string("nul\0x\x01\x1F", 7), "<t>nul_x0000_x_x0001__x001F_</t>"},
        {" lead", "<t xml:space=\"preserve\"> lead</t>"},
        {"trail\n", "<t xml:space=\"preserve\">trail\n</t>"},
        {"项目", "<t>项目</t>"},
    };
    for (const Case& c : cases) {
        SheetXml sheet(dir_ / "sheet.xml", false);
        sheet.Text(0, 0, c.text, CellStyle::Plain);
        EXPECT_NE(Written(sheet).find("<c r=\"A1\" t=\"inlineStr\"><is>" + c.xml + "</is></c>"),
                  std::string::npos)
            << c.xml;
    }
}

TEST_F(SheetXmlTest, NumbersKeepSixteenDigitsAtMost) {
    const std::pair<double, std::string> cases[] = {
        {12.3, "12.3"},     {5, "5"},       {123456789012345.0, "123456789012345"},
        {0.1 + 0.2, "0.3"}, {-0.5, "-0.5"}, {1e20, "1E+20"}};
    for (const auto& [value, text] : cases) {
        SheetXml sheet(dir_ / "sheet.xml", false);
        sheet.Number(2, 27, value);
        EXPECT_NE(Written(sheet).find("<c r=\"AB3\"><v>" + text + "</v></c>"), std::string::npos)
            << text;
    }
}

TEST_F(SheetXmlTest, PlainCellsTakeTheirColumnsStyle) {
    SheetXml sheet(dir_ / "sheet.xml", true);
    sheet.SetWidth(0, 15, CellStyle::Text);
    sheet.SetWidth(1, 8, CellStyle::Plain);
    sheet.Text(0, 0, "XH", CellStyle::Heading);
    sheet.Text(1, 0, "007", CellStyle::Plain);
    sheet.Number(1, 1, 7);
    const std::string xml = Written(sheet);
    EXPECT_NE(xml.find("<col min=\"1\" max=\"1\" width=\"15.7109375\" style=\"2\" "
                       "customWidth=\"1\"/><col min=\"2\" max=\"2\" width=\"8.7109375\" "
                       "customWidth=\"1\"/>"),
              std::string::npos);
    EXPECT_NE(xml.find("<c r=\"A1\" s=\"1\" t=\"inlineStr\">"), std::string::npos);
    EXPECT_NE(xml.find("<c r=\"A2\" s=\"2\" t=\"inlineStr\">"), std::string::npos);
    // Right after A2: counted on by readers, no reference needed.
    EXPECT_NE(
        xml.find("<c r=\"A2\" s=\"2\" t=\"inlineStr\"><is><t>007</t></is></c><c><v>7</v></c>"),
        std::string::npos);
    EXPECT_NE(xml.find("tabSelected=\"1\""), std::string::npos);
}

TEST_F(SheetXmlTest, LayoutAndDimensionSurroundTheRowsOfALargeSheet) {
    SheetXml sheet(dir_ / "sheet.xml", false);
    sheet.FreezeAt(2, 2);
    sheet.AutoFilter(1, 40001, 136);
    // Far more than one buffer, so the dimension is written into the file.
    for (int r = 1; r <= 40001; ++r)
        for (int c = 0; c < 137; c += 17) sheet.Text(r, c, "some text of a cell", CellStyle::Plain);
    const std::string xml = Written(sheet);
    EXPECT_NE(xml.find("<dimension ref=\"A2:EG40002\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<pane xSplit=\"2\" ySplit=\"2\" topLeftCell=\"C3\" "
                       "activePane=\"bottomRight\" state=\"frozen\"/>"),
              std::string::npos);
    EXPECT_NE(xml.find("<autoFilter ref=\"A2:EG40002\"/>"), std::string::npos);
    EXPECT_EQ(sheet.FilterRange("项目"), "'项目'!$A$2:$EG$40002");
    EXPECT_NE(xml.rfind("</row></sheetData>"), std::string::npos);
}

TEST_F(SheetXmlTest, OnlyACellAfterAGapOrStartingARowNamesItsPlace) {
    SheetXml sheet(dir_ / "sheet.xml", false);
    for (int c : {1, 2, 4}) sheet.Number(0, c, c);
    for (int c : {0, 1}) sheet.Number(1, c, c);
    EXPECT_NE(Written(sheet).find("<row r=\"1\"><c r=\"B1\"><v>1</v></c><c><v>2</v></c><c "
                                  "r=\"E1\"><v>4</v></c></row><row r=\"2\"><c "
                                  "r=\"A2\"><v>0</v></c><c><v>1</v></c></row>"),
              std::string::npos);
}

TEST_F(SheetXmlTest, AnEmptySheetIsStillWhole) {
    SheetXml sheet(dir_ / "sheet.xml", false);
    sheet.FreezeAt(1, 0);
    const std::string xml = Written(sheet);
    EXPECT_NE(xml.find("<dimension ref=\"A1\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
                       "state=\"frozen\"/><selection pane=\"bottomLeft\"/>"),
              std::string::npos);
    EXPECT_NE(xml.find("<sheetData></sheetData>"), std::string::npos);
}

TEST_F(SheetXmlTest, AnUnwritableFileIsAFailureNamingTheWorkbook) {
    SheetXml sheet(dir_ / "missing" / "sheet.xml", false);
    sheet.Text(0, 0, "x", CellStyle::Plain);
    try {
        sheet.Finish(dir_ / "book.xlsx");
        FAIL() << "no failure";
    } catch (const base::Failure& e) {
        EXPECT_NE(std::string(e.what()).find("book.xlsx"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace zorbix::testing

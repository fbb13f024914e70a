// The cell writer on small hand-made packages: cells merged in order, styles
// kept, formulas carrying the values of the numbers set, every other part
// unchanged.
#include "office/xlsx_cell_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "base/error.h"
#include "office/zip_archive.h"
#include "tests/support/temp_dir.h"

namespace zorbix::office {
namespace {

using testing::TempDir;

const std::string kDecl = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const std::string kMain = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
const std::string kRel =
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";

// A workbook whose first sheet lies in xl/worksheets/data.xml, not sheet1.xml.
std::vector<std::pair<std::string, std::string>> Package(const std::string& sheet_data,
                                                         const std::string& workbook_tail = "") {
    return {
        {"[Content_Types].xml", kDecl + "<Types/>"},
        {"xl/workbook.xml",
         kDecl + "<workbook " + kMain + " " + kRel +
             "><sheets><sheet name=\"甲\" sheetId=\"1\" r:id=\"rId7\"/></sheets>" + workbook_tail +
             "</workbook>"},
        {"xl/_rels/workbook.xml.rels", kDecl + "<Relationships><Relationship Id=\"rId7\" "
                                               "Target=\"worksheets/data.xml\"/></Relationships>"},
        {"xl/worksheets/data.xml", kDecl + "<worksheet " + kMain +
                                       "><dimension ref=\"A1:C3\"/><sheetData>" + sheet_data +
                                       "</sheetData></worksheet>"},
        {"xl/sharedStrings.xml", kDecl + "<sst><si><t> 标题 </t></si></sst>"},
    };
}

const std::string kSheet = R"(<row r="1" spans="1:3"><c r="A1" s="4" t="s"><v>0</v></c>)"
                           R"(<c r="C1" s="5" t="str"><f>SUM(B2:B9)</f><v>7</v></c></row>)"
                           R"(<row r="3" spans="1:3"><c r="B3" s="6" t="s"><v>0</v></c></row>)";

std::string SheetOf(const std::filesystem::path& file) {
    ZipArchive zip(file);
    return zip.Read("xl/worksheets/data.xml");
}

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const auto start = text.find(from);
    if (start == std::string::npos) return "";
    return text.substr(start, text.find(to, start) + to.size() - start);
}

TEST(XlsxCellWriter, MergesCellsInOrderAndKeepsStyles) {
    TempDir dir;
    WriteZip(dir / "in.xlsx", Package(kSheet));
    XlsxCellWriter writer(dir / "in.xlsx");
    writer.SetNumber(3, 2, 12);     // replaces a text cell, keeps s="6"
    writer.SetNumber(1, 2, 19.5);   // between A1 and C1
    writer.SetNumber(2, 4, 40000);  // a new row between rows 1 and 3
    writer.SetNumber(5, 1, 1);      // a new row at the end
    writer.Save(dir / "out.xlsx");
    const std::string sheet = SheetOf(dir / "out.xlsx");
    EXPECT_EQ(Between(sheet, "<row r=\"1\"", "</row>"),
              R"(<row r="1"><c r="A1" s="4" t="s"><v>0</v></c><c r="B1"><v>19.5</v></c>)"
              R"(<c r="C1" s="5"><f>SUM(B2:B9)</f><v>12</v></c></row>)");
    EXPECT_EQ(Between(sheet, "<row r=\"2\"", "</row>"),
              R"(<row r="2"><c r="D2"><v>40000</v></c></row>)");
    EXPECT_EQ(Between(sheet, "<row r=\"3\"", "</row>"),
              R"(<row r="3"><c r="B3" s="6"><v>12</v></c></row>)");
    EXPECT_EQ(Between(sheet, "<row r=\"5\"", "</row>"),
              R"(<row r="5"><c r="A5"><v>1</v></c></row>)");
    EXPECT_NE(sheet.find(R"(<dimension ref="A1:D5"/>)"), std::string::npos);
    EXPECT_EQ(sheet.rfind("<?xml", std::string::npos), 0u) << "one declaration only";
}

TEST(XlsxCellWriter, AsksForRecalculationAndKeepsOtherPartsByteForByte) {
    TempDir dir;
    WriteZip(dir / "in.xlsx", Package(kSheet, "<definedNames/><oleSize ref=\"A1\"/>"));
    XlsxCellWriter writer(dir / "in.xlsx");
    writer.SetNumber(2, 2, 3);
    writer.Save(dir / "out.xlsx");
    ZipArchive in(dir / "in.xlsx");
    ZipArchive out(dir / "out.xlsx");
    for (const std::string name :
         {"[Content_Types].xml", "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml"})
        EXPECT_EQ(in.Read(name), out.Read(name)) << name;
    const std::string workbook = out.Read("xl/workbook.xml");
    EXPECT_NE(workbook.find(R"(<definedNames/><calcPr fullCalcOnLoad="1"/><oleSize)"),
              std::string::npos)
        << workbook;
}

TEST(XlsxCellWriter, SetsFullCalculationOnAnExistingCalcPr) {
    TempDir dir;
    WriteZip(dir / "in.xlsx", Package(kSheet, R"(<calcPr calcId="124519" fullCalcOnLoad="0"/>)"));
    XlsxCellWriter writer(dir / "in.xlsx");
    writer.Save(dir / "out.xlsx");
    EXPECT_NE(ZipArchive(dir / "out.xlsx")
                  .Read("xl/workbook.xml")
                  .find(R"(<calcPr calcId="124519" fullCalcOnLoad="1"/>)"),
              std::string::npos);
}

TEST(XlsxCellWriter, PlacesCellsWithoutPositionsWhereTheyStood) {
    TempDir dir;
    WriteZip(dir / "in.xlsx",
             Package(R"(<row><c><v>1</v></c><c><v>2</v></c></row><row><c s="2"/></row>)"));
    XlsxCellWriter writer(dir / "in.xlsx");
    writer.SetNumber(1, 2, 9);
    writer.SetNumber(2, 3, 8);
    writer.Save(dir / "out.xlsx");
    const std::string sheet = SheetOf(dir / "out.xlsx");
    EXPECT_NE(sheet.find(R"(<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>9</v></c></row>)"),
              std::string::npos)
        << sheet;
    EXPECT_NE(sheet.find(R"(<row r="2"><c r="A2" s="2"/><c r="C2"><v>8</v></c></row>)"),
              std::string::npos)
        << sheet;
}

TEST(XlsxCellWriter, RefusesPositionsAndValuesItCannotWrite) {
    TempDir dir;
    WriteZip(dir / "in.xlsx", Package(kSheet));
    XlsxCellWriter writer(dir / "in.xlsx");
    EXPECT_THROW(writer.SetNumber(0, 1, 1), base::Failure);
    EXPECT_THROW(writer.SetNumber(1, 16385, 1), base::Failure);
    EXPECT_THROW(writer.SetNumber(1, 1, std::nan("")), base::Failure);
    EXPECT_THROW(writer.SetNumber(1, 1, INFINITY), base::Failure);
    EXPECT_THROW(writer.Save(dir / "in.xlsx"), base::Failure) << "never over its own template";
}

// Each damaged template fails with a message naming the file.
TEST(XlsxCellWriter, DamagedTemplatesFailNamingTheFile) {
    TempDir dir;
    struct Case {
        const char* file;
        std::vector<std::pair<std::string, std::string>> parts;
    };
    auto no_sheet = Package(kSheet);
    no_sheet[1].second = kDecl + "<workbook " + kMain + "><sheets/></workbook>";
    const std::vector<Case> cases = {
        {"broken.xlsx", Package("<row r=\"1\"><c r=\"A1\"><v>1</v></row>")},
        {"nosheet.xlsx", no_sheet},
    };
    for (const Case& c : cases) {
        WriteZip(dir / c.file, c.parts);
        try {
            XlsxCellWriter writer(dir / c.file);
            writer.SetNumber(1, 1, 1);
            writer.Save(dir / "out.xlsx");
            ADD_FAILURE() << c.file;
        } catch (const base::Failure& e) {
            EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
        }
    }
    std::ofstream(dir / "plain.xlsx") << "not a zip";
    EXPECT_THROW(XlsxCellWriter(dir / "plain.xlsx"), base::Failure);
    EXPECT_THROW(XlsxCellWriter(dir / "missing.xlsx"), base::Failure);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.xlsx"));
}

// A fill never lands on its own template, under its name or another.
TEST(XlsxCellWriter, RefusesToWriteOverItsTemplate) {
    TempDir dir;
    WriteZip(dir / "in.xlsx", Package(kSheet));
    std::filesystem::create_symlink(dir / "in.xlsx", dir / "link.xlsx");
    std::filesystem::create_hard_link(dir / "in.xlsx", dir / "hard.xlsx");
    std::ifstream before_file(dir / "in.xlsx", std::ios::binary);
    const std::string before{std::istreambuf_iterator<char>(before_file), {}};
    for (const char* target : {"in.xlsx", "link.xlsx", "hard.xlsx"}) {
        XlsxCellWriter writer(dir / "in.xlsx");
        writer.SetNumber(2, 2, 3);
        try {
            writer.Save(dir / target);
            ADD_FAILURE() << target;
        } catch (const base::Failure& e) {
            EXPECT_NE(std::string(e.what()).find("写回它自己"), std::string::npos) << e.what();
        }
    }
    std::ifstream after_file(dir / "in.xlsx", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after_file), {}), before);
}

// A template is read once and kept; a file rewritten in place, even with
// the same size and time, is read again.
TEST(XlsxCellWriter, ATemplateRewrittenInPlaceIsReadAgain) {
    TempDir dir;
    const auto sheet = [](const char* value) {
        return Package(std::string(R"(<row r="2"><c r="A2"><v>)") + value + "</v></c></row>");
    };
    WriteZip(dir / "five.xlsx", sheet("5"));
    WriteZip(dir / "six.xlsx", sheet("6"));
    ASSERT_EQ(std::filesystem::file_size(dir / "five.xlsx"),
              std::filesystem::file_size(dir / "six.xlsx"));
    std::filesystem::copy_file(dir / "five.xlsx", dir / "in.xlsx");
    XlsxCellWriter(dir / "in.xlsx").Save(dir / "out5.xlsx");
    EXPECT_NE(SheetOf(dir / "out5.xlsx").find("<v>5</v>"), std::string::npos);

    const auto time = std::filesystem::last_write_time(dir / "in.xlsx");
    {
        std::ifstream six(dir / "six.xlsx", std::ios::binary);
        std::ofstream in(dir / "in.xlsx", std::ios::binary | std::ios::trunc);
        in << six.rdbuf();
    }
    std::filesystem::last_write_time(dir / "in.xlsx", time);
    XlsxCellWriter(dir / "in.xlsx").Save(dir / "out6.xlsx");
    EXPECT_NE(SheetOf(dir / "out6.xlsx").find("<v>6</v>"), std::string::npos)
        << SheetOf(dir / "out6.xlsx");
}

TEST(XlsxCellWriter, NumberTexts) {
    const std::vector<std::pair<double, std::string>> cases = {{12, "12"},
                                                               {19.5, "19.5"},
                                                               {0.1 + 0.2, "0.3"},
                                                               {-3, "-3"},
                                                               {123456789012, "123456789012"},
                                                               {40000, "40000"},
                                                               {1e20, "1e+20"},
                                                               // whole numbers below 1e15 in full
                                                               {999999999999999, "999999999999999"},
                                                               {1e15, "1e+15"},
                                                               {-1e15, "-1e+15"},
                                                               {1e17, "1e+17"},
                                                               {1234.56, "1234.56"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(CellNumberText(value), text) << value;
}

TEST(XlsxCellWriter, CellReferences) {
    EXPECT_EQ(ColumnLetters(1), "A");
    EXPECT_EQ(ColumnLetters(26), "Z");
    EXPECT_EQ(ColumnLetters(27), "AA");
    EXPECT_EQ(ColumnLetters(16384), "XFD");
    EXPECT_EQ(ParseCellReference("AA12"), std::make_pair(12, 27));
    EXPECT_EQ(ParseCellReference("B1"), std::make_pair(1, 2));
    for (const char* bad : {"", "A", "12", "a1", "A0", "A1B", "XFE1", "A1048577"})
        EXPECT_EQ(ParseCellReference(bad), std::make_pair(0, 0)) << bad;
}

}  // namespace
}  // namespace zorbix::office

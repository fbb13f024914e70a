// Reading an .xls workbook that LibreOffice converted from one of ours: the
// same texts and numbers come back, formulas arrive empty.
#include <gtest/gtest.h>

#include "office/sheet_reader.h"
#include "tests/office/test_workbooks.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

TEST(XlsSheet, ReadsWhatLibreOfficeWrote) {
    TempDir dir;
    const std::string shared =
        "<si><t>项目编号</t></si><si><t>中文名称</t></si>"
        "<si><t>0201300000009</t></si>";
    const std::string data =
        "<row r=\"1\"><c r=\"B1\" t=\"s\"><v>0</v></c></row>"
        "<row r=\"2\"><c r=\"B2\"><v>201300000001</v></c><c r=\"C2\" t=\"s\"><v>1</v></c>"
        "<c r=\"F2\"><v>1234.56</v></c><c r=\"G2\"><f>F2*2</f><v>2469.12</v></c></row>"
        "<row r=\"3\"><c r=\"B3\" t=\"s\"><v>2</v></c><c r=\"F3\"><v>-0.5</v></c></row>";
    WriteXlsxParts(dir / "plan.xlsx", data, shared);
    const auto xls = ConvertToXls(dir / "plan.xlsx");
    ASSERT_FALSE(xls.empty()) << "LibreOffice made no .xls";

    const office::Sheet sheet = office::ReadFirstSheet(xls);
    EXPECT_EQ(sheet.At(1, 2).text, "项目编号");
    EXPECT_EQ(sheet.At(2, 2).text, "201300000001");
    EXPECT_EQ(sheet.At(2, 2).number, 201300000001.0);
    EXPECT_EQ(sheet.At(2, 3).text, "中文名称");
    EXPECT_EQ(sheet.At(2, 6).text, "1234.56");
    EXPECT_TRUE(sheet.At(2, 7).IsEmpty());
    EXPECT_EQ(sheet.At(3, 2).text, "0201300000009");
    EXPECT_EQ(sheet.At(3, 6).number, -0.5);
    EXPECT_EQ(sheet.LastRow(), 3);
}

}  // namespace
}  // namespace zorbix::testing

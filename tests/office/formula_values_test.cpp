// The values the formulas of a sheet are given: the arithmetic of totals is
// computed from the sheet's numbers, and anything else keeps no value.
#include "office/formula_values.h"

#include <gtest/gtest.h>

#include <string>

namespace zorbix::office {
namespace {

// Row 1: A1 = 2, B1 = 3.5, C1 = text, D1 blank with a style; row 2: A2 =
// 10, B2 = an error; row 3: the formula under test in A3.
std::string CachedValueOf(const std::string& formula, const std::string& more = "") {
    const std::string xml =
        R"(<worksheet><sheetData><row r="1"><c r="A1"><v>2</v></c><c r="B1"><v>3.5</v></c>)"
        R"(<c r="C1" t="s"><v>0</v></c><c r="D1" s="3"/></row>)"
        R"(<row r="2"><c r="A2" t="n"><v>10</v></c><c r="B2" t="e"><v>#N/A</v></c></row>)"
        R"(<row r="3"><c r="A3" t="str"><f>)" +
        formula + R"(</f><v>999</v></c>)" + more + "</row></sheetData></worksheet>";
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    const pugi::xml_node data = doc.child("worksheet").child("sheetData");
    CacheFormulaValues(data);
    const pugi::xml_node a3 =
        data.find_child_by_attribute("row", "r", "3").find_child_by_attribute("c", "r", "A3");
    EXPECT_TRUE(a3.attribute("t").empty()) << formula << ": a number, or no value at all";
    EXPECT_TRUE(a3.child("f")) << formula;
    return a3.child("v") ? a3.child("v").text().get() : "none";
}

TEST(FormulaValues, ComputeTheArithmeticOfTotals) {
    const std::pair<const char*, const char*> cases[] = {
        {"SUM(A1:A2)", "12"},
        {"=SUM(A1:B1)", "5.5"},
        {"sum(A1:D1)", "5.5"},  // text and blanks are left out of a range
        {"A1+B1", "5.5"},
        {"A1+D1+E9", "2"},  // blank and missing cells count 0
        {"$A$1*A2-B1/2", "18.25"},
        {"-(A1+A2)*2", "-24"},
        {"SUM(A1,B1,3)", "8.5"},
        {"SUM(A2:A1)", "12"},  // a range named bottom to top
        {"SUM()", "0"},
        {"A3B", "none"},
        {" A1 + 1 ", "3"},
        {"0.1+0.2", "0.3"},
        {"1e3+A1", "1002"},
    };
    for (const auto& [formula, value] : cases) EXPECT_EQ(CachedValueOf(formula), value) << formula;
}

TEST(FormulaValues, KeepNoValueWhereTheyCannotBeComputed) {
    for (const char* formula :
         {"SUM(A1:B2)", "C1+1", "B2", "A1/0", "AVERAGE(A1:A2)", "Sheet2!A1", "A1+", "(A1",
          "A1&amp;B1", "A3+1", "1e308*10", "SUM(A1:A2", "XFE1", "A1048577", "R1C1"})
        EXPECT_EQ(CachedValueOf(formula), "none") << formula;
}

TEST(FormulaValues, FollowFormulasOnFormulasAndStopAtCycles) {
    EXPECT_EQ(CachedValueOf("B3*2", R"(<c r="B3"><f>SUM(A1:A2)</f></c>)"), "24");
    EXPECT_EQ(CachedValueOf("SUM(B3:C3)", R"(<c r="B3"><f>A1</f></c><c r="C3"><f>B3+1</f></c>)"),
              "5");
    EXPECT_EQ(CachedValueOf("B3", R"(<c r="B3"><f>A3</f></c>)"), "none");
    EXPECT_EQ(CachedValueOf("B3", R"(<c r="B3"><f t="shared" si="0"/></c>)"), "none");
}

TEST(FormulaValues, AChainTooLongForTheStackKeepsNoValue) {
    // Each row's formula reads the row below; the last row holds a number.
    constexpr int kRows = 20000;
    std::string xml = "<sheetData>";
    for (int row = 1; row < kRows; ++row)
        xml += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) + "\"><f>A" +
               std::to_string(row + 1) + "+1</f></c></row>";
    xml += "<row r=\"" + std::to_string(kRows) + "\"><c r=\"A" + std::to_string(kRows) +
           "\"><v>1</v></c></row></sheetData>";
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str()));
    CacheFormulaValues(doc.child("sheetData"));
    auto value = [&doc](int row) {
        return std::string(doc.child("sheetData")
                               .find_child_by_attribute("row", "r", std::to_string(row).c_str())
                               .child("c")
                               .child("v")
                               .text()
                               .get());
    };
    EXPECT_EQ(value(1), "") << "too deep to follow";
    EXPECT_EQ(value(kRows - 1), "2");
}

}  // namespace
}  // namespace zorbix::office

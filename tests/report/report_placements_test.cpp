// The placements of the report: which bookmark shows which characters of
// which column.
#include "report/report_placements.h"

#include <gtest/gtest.h>

#include <set>

#include "store/catalogue.h"

namespace zorbix::report {
namespace {

TEST(CutText, CountsCharactersNotBytes) {
    struct Case {
        std::string text;
        Take take;
        int first, count;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"2013-12-20", Take::Chars, 1, 4, "2013"},
        {"2013-12-20", Take::Chars, 6, 2, "12"},
        {"2013-12-20", Take::Last, 0, 2, "20"},
        {"2013-1", Take::Chars, 6, 2, "1"},  // a six-character text: just the sixth
        {"2013", Take::Chars, 6, 2, ""},
        {"", Take::Chars, 1, 4, ""},
        {"", Take::Last, 0, 2, ""},
        {"7", Take::Last, 0, 2, "7"},
        {"1.基础研究", Take::Chars, 1, 1, "1"},
        {"1100.重大科技专项", Take::Chars, 1, 4, "1100"},
        {"基础研究", Take::Chars, 1, 2, "基础"},  // Chinese: two characters, six bytes
        {"二〇一三年十二月", Take::Last, 0, 2, "二月"},
        {"a", Take::Chars, 1, 2, "a"},
        {"whole 全文", Take::Whole, 1, 0, "whole 全文"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CutText(c.text, c.take, c.first, c.count), c.expected) << c.text;
}

TEST(Placements, AreTheReportsBookmarksInOrder) {
    const auto placements = Placements();
    ASSERT_EQ(placements.size(), 136u);
    EXPECT_EQ(placements.front().bookmark, "JB01");
    EXPECT_EQ(placements[8].bookmark, "TBSJ_1");
    EXPECT_EQ(placements.back().bookmark, "JDCG");
    std::set<std::string_view> names;
    int cut = 0;
    for (const auto& p : placements) {
        EXPECT_TRUE(names.insert(p.bookmark).second) << p.bookmark;
        EXPECT_TRUE(store::FindColumn(p.column)) << p.column;
        if (p.take != Take::Whole)
            ++cut;
        else
            EXPECT_EQ(p.bookmark, p.column);
    }
    EXPECT_EQ(cut, 18);
    // Every page column but the two dates appears under its own name.
    for (const auto& c : store::Columns()) {
        if (c.page == store::Page::None || c.name == "TBSJ" || c.name == "JB82") continue;
        EXPECT_TRUE(names.count(c.name)) << c.name;
    }
}

TEST(ReportTexts, TakeCodesAndDatePartsFromTheRecord) {
    store::Record record;
    record.Set(store::ColumnIndex("JB02"), "201300000001");
    record.Set(store::ColumnIndex("TBSJ"), "2013-12-20");
    record.Set(store::ColumnIndex("JB82"), "2012-05");
    record.Set(store::ColumnIndex("JB27"), "1.基础研究");
    record.Set(store::ColumnIndex("JB61"), "1100.重大科技专项");
    record.Set(store::ColumnIndex("JB52"), "11.其他");
    record.Set(store::ColumnIndex("JDCG"), "第一行\r\n第二行");
    std::map<std::string, std::string> by_name;
    for (auto& t : ReportTexts(record)) by_name[t.name] = t.text;
    EXPECT_EQ(by_name.size(), 136u);
    EXPECT_EQ(by_name["JB02"], "201300000001");
    EXPECT_EQ(by_name["TBSJ_1"], "2013");
    EXPECT_EQ(by_name["TBSJ_2"], "12");
    EXPECT_EQ(by_name["TBSJ_3"], "20");
    EXPECT_EQ(by_name["JB82_1"], "2012");
    EXPECT_EQ(by_name["JB82_2"], "05");
    EXPECT_EQ(by_name["JB27"], "1");
    EXPECT_EQ(by_name["JB61"], "1100");
    EXPECT_EQ(by_name["JB52"], "11.其他");  // partner unit types stay whole
    EXPECT_EQ(by_name["JDCG"], "第一行\r\n第二行");
    EXPECT_EQ(by_name["JB01"], "");
}

// Records that came through distribute or append hold "." for an empty
// field: on paper that is an empty cell, whole or cut, while a dot that is
// part of a value stays.
TEST(ReportTexts, ShowTheEmptyFieldPlaceholderAsNothing) {
    store::Record record;
    for (const char* column : {"JB03", "JB27", "TBSJ", "JB82", "JF1102"})
        record.Set(store::ColumnIndex(column), ".");
    record.Set(store::ColumnIndex("JG916"), "0.5");
    record.Set(store::ColumnIndex("JB04"), "..");
    std::map<std::string, std::string> by_name;
    for (auto& t : ReportTexts(record)) by_name[t.name] = t.text;
    for (const char* bookmark : {"JB03", "JB27", "TBSJ_1", "TBSJ_3", "JB82_2", "JF1102"})
        EXPECT_EQ(by_name[bookmark], "") << bookmark;
    EXPECT_EQ(by_name["JG916"], "0.5");
    EXPECT_EQ(by_name["JB04"], "..");
    EXPECT_EQ(record[store::ColumnIndex("JB03")], ".");
}

}  // namespace
}  // namespace zorbix::report

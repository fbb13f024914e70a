// What the generated templates hold. Every cell a project can write into
// lies where the templates keep nothing of their own: no label, heading or
// total formula can be overwritten by figures, whatever codes the check
// lets through (it only asks the coded fields for three characters and the
// region for six digits). And every column heading says what it counts in
// which unit, once per workbook.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "office/sheet_reader.h"
#include "office/xlsx_cell_writer.h"
#include "office/xlsx_package.h"
#include "office/zip_archive.h"
#include "store/catalogue.h"
#include "summary/standard_rows.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_grid.h"
#include "summary/summary_posting.h"
#include "tests/summary/summary_test_support.h"

namespace zorbix::testing {
namespace {

using summary::SummaryDefinition;

std::filesystem::path TemplateOf(const SummaryDefinition& s) {
    return std::filesystem::path(ZORBIX_TEMPLATE_DIR) / summary::TemplateFileName(s);
}

// Keys of every size a field text can give, lists or not.
std::vector<std::int64_t> SampleKeys() {
    std::vector<std::int64_t> keys;
    for (std::int64_t k = -1000; k <= 10000; ++k) keys.push_back(k);
    for (std::int64_t k = 10; k < std::int64_t{1} << 62; k *= 7)
        keys.push_back(k), keys.push_back(-k);
    keys.push_back(std::numeric_limits<std::int64_t>::max());
    keys.push_back(std::numeric_limits<std::int64_t>::min());
    return keys;
}

// Rows any of the five group rules gives for any key; the region rule is
// tried on every six-digit code, the length the check asks for.
std::set<int> ReachableRows() {
    std::set<int> rows;
    auto add = [&rows](std::optional<int> row) {
        if (row) rows.insert(*row);
    };
    for (std::int64_t key : SampleKeys()) {
        add(summary::UnitTypeRow(key));
        add(summary::RegionRow(key));
        add(summary::PlanCategoryRow(key));
        add(summary::TechnologyFieldRow(key));
        add(summary::DepartmentRow(key));
    }
    for (std::int64_t code = 0; code <= 999999; ++code) add(summary::RegionRow(code));
    for (std::int64_t code = -99999; code < 0; ++code) add(summary::RegionRow(code));
    return rows;
}

// Texts a coded field may hold: every number the samples give, the
// two-digit forms of the reasons, picker-like items and nothing at all.
std::vector<std::string> SampleCodeTexts() {
    std::vector<std::string> texts = {"", ".", "0", "00", "1e30", "-1e30", "99.其他", "2.5"};
    for (std::int64_t key : SampleKeys()) texts.push_back(std::to_string(key));
    for (int code = 0; code <= 9; ++code) texts.push_back("0" + std::to_string(code) + ".x");
    return texts;
}

// Columns (within those written) that the summary's posting fills for any
// code text, found by posting into one row every sampled record.
std::set<int> ReachableColumns(const SummaryDefinition& s) {
    const std::vector<const char*> coded = {"JB61",  "JB71",  "JB72_01", "JB421", "JB422",
                                            "JB423", "JB431", "JB432",   "JB433", "JB451",
                                            "JB452", "JB453", "JB461",   "JB462", "JB463"};
    summary::SummaryGrid grid(s.grid_columns);
    summary::StandardRows one_row;
    one_row.rows[0] = 2;
    one_row.count = 1;
    for (const std::string& text : SampleCodeTexts()) {
        store::Record record;
        for (int column = 0; column < store::kRecordColumns; ++column) record.Set(column, "1");
        for (const char* field : coded) record.Set(store::ColumnIndex(field), text);
        summary::PostRecord(s, record, one_row, grid);
    }
    std::set<int> columns;
    for (int column = 1; column <= s.last_column; ++column)
        if (grid.At(2, column) != 0) columns.insert(column);
    return columns;
}

TEST(SummaryTemplates, NoRuleReachesALabelHeadingOrTotal) {
    const std::set<int> rows = ReachableRows();
    // The catch-alls and the region digits together reach every row from
    // the first figure row to the department's catch-all.
    EXPECT_EQ(*rows.begin(), 2);
    EXPECT_EQ(*rows.rbegin(), 149);
    EXPECT_TRUE(rows.contains(13) && rows.contains(34) && rows.contains(114));
    for (const SummaryDefinition& s : summary::Summaries()) {
        const std::set<int> columns = ReachableColumns(s);
        EXPECT_FALSE(columns.empty()) << s.name;
        EXPECT_FALSE(columns.contains(1)) << s.name << ": column A holds the labels";
        const auto cells = SheetCells(TemplateOf(s));
        int checked = 0;
        for (int row : rows) {
            if (row > summary::kLastWrittenRow) continue;
            for (int column : columns) {
                const auto cell = cells.find(office::ColumnLetters(column) + std::to_string(row));
                if (cell == cells.end()) continue;
                ++checked;
                EXPECT_FALSE(cell->second.formula) << s.name << " " << cell->first;
                EXPECT_EQ(cell->second.value, "") << s.name << " " << cell->first;
            }
        }
        EXPECT_GT(checked, 0) << s.name << ": the figure cells are in the template";
        const office::Sheet sheet = office::ReadFirstSheet(TemplateOf(s));
        for (int column : columns)
            EXPECT_FALSE(sheet.At(1, column).IsEmpty())
                << s.name << ": column " << column << " can receive figures but has no heading";
    }
}

TEST(SummaryTemplates, EveryHeadingNamesItsQuantityAndUnitOnce) {
    const std::vector<std::string> units = {"(个)",   "(人)",   "(件)",  "(篇)",
                                            "(万字)", "(千元)", "(人月)"};
    for (const SummaryDefinition& s : summary::Summaries()) {
        const office::Sheet sheet = office::ReadFirstSheet(TemplateOf(s));
        std::set<std::string> seen;
        for (int column = 2; column <= 40; ++column) {
            const std::string& heading = sheet.At(1, column).text;
            if (heading.empty()) continue;
            EXPECT_TRUE(seen.insert(heading).second) << s.name << ": " << heading << " twice";
            const bool has_unit = std::any_of(units.begin(), units.end(),
                                              [&](const auto& u) { return heading.ends_with(u); });
            EXPECT_TRUE(has_unit) << s.name << ": " << heading;
            for (const char* code : {"3400", "4300"}) {
                if (heading.starts_with(code)) {
                    EXPECT_GT(heading.size(), 20u) << heading;
                }
            }
        }
        EXPECT_GE(seen.size(), 2u) << s.name;
    }
}

TEST(SummaryTemplates, TotalsStandBelowTheRowsAndNameTheirGroup) {
    for (const SummaryDefinition& s : summary::Summaries()) {
        const office::Sheet sheet = office::ReadFirstSheet(TemplateOf(s));
        const auto cells = SheetCells(TemplateOf(s));
        for (const summary::RowGroup& group : summary::RowGroups()) {
            EXPECT_GT(group.total_row, 149);
            const std::string label = sheet.At(group.total_row, 1).text;
            const std::string stem = group.title.substr(std::string("按").size(), 6);
            EXPECT_EQ(label.rfind(stem, 0), 0u) << s.name << ": " << label;
            EXPECT_TRUE(cells.at("B" + std::to_string(group.total_row)).formula) << s.name;
        }
        for (int row : {13, 34, 50, 66})
            EXPECT_EQ(sheet.At(row, 1).text, "代码表以外的代码") << s.name << " " << row;
    }
}

// Characters of a label as wide as a sheet counts them: Chinese two.
double LabelWidth(const std::string& utf8) {
    double width = 0;
    for (unsigned char c : utf8) width += c < 0x80 ? 1 : (c & 0xC0) != 0x80 ? 2 : 0;
    return width;
}

TEST(SummaryTemplates, PrintLandscapeOnePageWideWithTitlesHeaderAndFooter) {
    double widest = 0;
    for (const summary::RowLabel& label : summary::StandardRowLabels())
        widest = std::max(widest, LabelWidth(label.text));
    for (const SummaryDefinition& s : summary::Summaries()) {
        office::ZipArchive zip(TemplateOf(s));
        pugi::xml_document sheet, book;
        ASSERT_TRUE(sheet.load_string(zip.Read(office::FirstSheetPart(zip)).c_str()));
        ASSERT_TRUE(book.load_string(zip.Read("xl/workbook.xml").c_str()));
        const pugi::xml_node ws = sheet.child("worksheet");
        const pugi::xml_node setup = ws.child("pageSetup");
        EXPECT_STREQ(setup.attribute("orientation").value(), "landscape") << s.name;
        EXPECT_STREQ(setup.attribute("paperSize").value(), "9") << s.name << ": A4";
        // One page wide where that prints at 75 % or more; else across
        // pages at 80 %, so no figure prints under 8 point.
        if (ws.child("sheetPr").child("pageSetUpPr").attribute("fitToPage").as_bool()) {
            EXPECT_STREQ(setup.attribute("fitToHeight").value(), "0") << s.name;
            EXPECT_STRNE(setup.attribute("fitToWidth").value(), "0") << s.name;  // absent: 1
        } else {
            EXPECT_EQ(setup.attribute("scale").as_int(), 80) << s.name;
        }
        const pugi::xml_node pane = ws.child("sheetViews").child("sheetView").child("pane");
        EXPECT_STREQ(pane.attribute("state").value(), "frozen") << s.name;
        EXPECT_EQ(pane.attribute("xSplit").as_int(), 1);
        EXPECT_EQ(pane.attribute("ySplit").as_int(), 1);
        const std::string header = ws.child("headerFooter").child("oddHeader").text().get();
        EXPECT_NE(header.find(std::string(s.name)), std::string::npos) << header;
        EXPECT_NE(header.find("2013"), std::string::npos) << header;
        EXPECT_EQ(std::string(ws.child("headerFooter").child("oddFooter").text().get()),
                  "&C第 &P 页，共 &N 页");
        const pugi::xml_node titles =
            book.child("workbook")
                .child("definedNames")
                .find_child_by_attribute("definedName", "name", "_xlnm.Print_Titles");
        const std::string range = titles.text().get();
        EXPECT_NE(range.find("$A:$A"), std::string::npos) << s.name << ": " << range;
        EXPECT_NE(range.find("$1:$1"), std::string::npos) << s.name << ": " << range;
        const pugi::xml_node first = ws.child("cols").find_child_by_attribute("col", "min", "1");
        EXPECT_GE(first.attribute("width").as_double(), widest) << s.name << ": column A";
    }
}

}  // namespace
}  // namespace zorbix::testing

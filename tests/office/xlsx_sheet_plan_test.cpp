// A prepared sheet writes, byte for byte, what the former fill wrote: the
// sheet parsed, the numbers merged into the tree, every formula's value
// cached, <dimension> widened, the tree saved. That merge is kept here as
// the reference, and both run over sheets of every odd shape a template can
// take (prefixed names, rows and cells without positions, rows out of
// order, blanks and comments between cells, stale caches, shared formulas,
// no dimension or one without a range) with numbers in existing and new
// rows and cells, over labels and over formulas.
#include "office/xlsx_sheet_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "office/formula_values.h"
#include "office/xlsx_cell_writer.h"
#include "office/xlsx_sheet_edit.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

// The tree merge the summaries used before their sheets were prepared.
namespace reference {

std::string PrefixOf(pugi::xml_node node) {
    const std::string_view name = node.name();
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? "" : std::string(name.substr(0, colon + 1));
}

pugi::xml_node NextNamed(pugi::xml_node node, std::string_view local) {
    while (node && LocalName(node) != local) node = node.next_sibling();
    return node;
}

int RowNumber(pugi::xml_node row) { return row.attribute("r").as_int(0); }

int CellColumn(pugi::xml_node cell) {
    return ParseCellReference(cell.attribute("r").value()).second;
}

void FillCell(pugi::xml_node cell, int row, int column, double value, const std::string& prefix) {
    cell.remove_attribute("t");
    while (cell.first_child()) cell.remove_child(cell.first_child());
    if (!cell.attribute("r")) cell.prepend_attribute("r");
    cell.attribute("r").set_value((ColumnLetters(column) + std::to_string(row)).c_str());
    cell.append_child((prefix + "v").c_str())
        .append_child(pugi::node_pcdata)
        .set_value(CellNumberText(value).c_str());
}

using Position = CellNumbers::const_iterator;

void MergeRow(pugi::xml_node row, int row_number, Position first, Position last,
              const std::string& prefix) {
    row.remove_attribute("spans");
    pugi::xml_node cell = NextNamed(row.first_child(), "c");
    for (Position it = first; it != last; ++it) {
        const int wanted = it->first.second;
        while (cell && CellColumn(cell) < wanted) cell = NextNamed(cell.next_sibling(), "c");
        if (!cell || CellColumn(cell) > wanted) {
            const pugi::xml_node added = cell
                                             ? row.insert_child_before((prefix + "c").c_str(), cell)
                                             : row.append_child((prefix + "c").c_str());
            FillCell(added, row_number, wanted, it->second, prefix);
            continue;
        }
        FillCell(cell, row_number, wanted, it->second, prefix);
        cell = NextNamed(cell.next_sibling(), "c");
    }
}

void MergeNumbers(pugi::xml_node sheet_data, const CellNumbers& numbers) {
    const std::string prefix = PrefixOf(sheet_data);
    NameEveryPosition(sheet_data);
    pugi::xml_node row = NextNamed(sheet_data.first_child(), "row");
    for (Position it = numbers.begin(); it != numbers.end();) {
        const int wanted = it->first.first;
        while (row && RowNumber(row) < wanted) row = NextNamed(row.next_sibling(), "row");
        Position last = it;
        while (last != numbers.end() && last->first.first == wanted) ++last;
        if (!row || RowNumber(row) > wanted) {
            pugi::xml_node added =
                row ? sheet_data.insert_child_before((prefix + "row").c_str(), row)
                    : sheet_data.append_child((prefix + "row").c_str());
            added.append_attribute("r").set_value(wanted);
            MergeRow(added, wanted, it, last, prefix);
        } else {
            MergeRow(row, wanted, it, last, prefix);
            row = NextNamed(row.next_sibling(), "row");
        }
        it = last;
    }
}

std::string Fill(const std::string& xml, const CellNumbers& numbers) {
    pugi::xml_document sheet;
    ParseXmlPart(sheet, xml, "reference");
    pugi::xml_node sheet_data;
    for (pugi::xml_node child : sheet.document_element().children()) {
        const std::string_view name = child.name();
        if (name == "sheetData" || (name.size() > 10 && name.ends_with(":sheetData")))
            sheet_data = child;
    }
    MergeNumbers(sheet_data, numbers);
    CacheFormulaValues(sheet_data);
    if (!numbers.empty()) {
        int last_column = 0;
        for (const auto& [position, value] : numbers)
            last_column = std::max(last_column, position.second);
        WidenDimension(sheet.document_element(), numbers.rbegin()->first.first, last_column);
    }
    return SaveXmlPart(sheet);
}

}  // namespace reference

const std::string kDecl = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const std::string kMain = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
const std::string kPrefixed =
    R"(xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";

std::string Sheet(const std::string& dimension, const std::string& rows) {
    return kDecl + "<worksheet " + kMain + ">" + dimension + "<sheetData>" + rows +
           "</sheetData><pageMargins left=\"0.7\"/></worksheet>";
}

std::vector<std::string> OddSheets() {
    const std::string dim = R"(<dimension ref="A1:D4"/>)";
    return {
        Sheet(dim, R"(<row r="1" spans="1:4" ht="15"><c r="A1" s="4" t="s"><v>0</v></c>)"
                   R"(<c r="C1" s="5" t="str"><f>SUM(B2:B9)</f><v>7</v></c></row>)"
                   R"(<row r="3" spans="1:3"><c r="B3" s="6" t="s"><v>0</v></c></row>)"),
        Sheet(dim, R"(<row><c><v>1</v></c><c><v>2</v></c></row><row><c s="2"/></row>)"
                   R"(<row r="0"><c r="Q"><v>3</v></c></row>)"),
        Sheet("", R"(<row r="5"><c r="B5"><v>1</v></c></row><row r="2"><c r="D2"/></row>)"
                  R"(<row r="5"><c r="A5"/></row>)"),
        Sheet(R"(<dimension/>)", R"( <row r="2"> <c r="B2" t="n"><v>4</v></c> <!-- x --> )"
                                 R"(<c r="C2"><f>B2*2+A2</f><v>1</v><v>9</v></c> </row> )"),
        Sheet(dim,
              R"(<row r="4"><c r="A4"><f t="shared" ref="A4:B4" si="0">B1</f><v>2</v></c>)"
              R"(<c r="B4"><f t="shared" si="0"/><v>3</v></c><c r="C4" t="e"><v>#DIV/0!</v></c>)"
              R"(<c r="D4"><f>C4+1</f><v>1</v></c><c r="E4"><f>A1/0</f></c>)"
              R"(<c r="F4"><f>SUM(A1:E3)</f><v>0</v></c></row>)"),
        Sheet(
            dim,
            R"(<row r="7"><c r="B7" s="1" t="inlineStr"><is><t>a&amp;b &lt;c&gt;</t></is></c>)"
            R"(<c r="C7" s="2"><f>B7+1</f></c><c r="D7"><f><![CDATA[SUM(A1:C6)]]></f></c></row>)"),
        Sheet(dim, ""),
        kDecl + "<x:worksheet " + kPrefixed + R"(><x:dimension ref="B2"/><x:sheetData>)" +
            R"(<x:row r="2" spans="2:3"><x:c r="B2" s="1"><x:v>1</x:v></x:c>)" +
            R"(<x:c r="C2"><x:f>B2+B3</x:f><x:v>0</x:v></x:c></x:row></x:sheetData></x:worksheet>)",
        Sheet(dim, R"(<row r="1"><c r="A1"><f>B1</f></c><c r="B1"><f>A1</f></c>)"
                   R"(<c r="C1"><f>$A$3+SUM(A2:B2)</f></c></row>)"),
    };
}

std::vector<CellNumbers> NumberSets() {
    return {
        {},
        {{{1, 1}, 9}},
        {{{1, 2}, 9}, {{2, 3}, 8}, {{3, 2}, 1.5}, {{5, 1}, 2}, {{9, 30}, 1e20}},
        {{{2, 2}, 12}, {{2, 3}, 0.1 + 0.2}, {{4, 4}, 7}, {{4, 1}, 3}},
        {{{1, 3}, 5}, {{7, 2}, 1234.5678901234567}, {{7, 3}, 2}, {{200, 20}, 40000}},
    };
}

TEST(SheetPlan, WritesWhatTheTreeMergeWrote) {
    for (const std::string& xml : OddSheets()) {
        pugi::xml_document doc;
        ParseXmlPart(doc, xml, "plan");
        const SheetPlan plan(doc, "plan");
        for (const CellNumbers& numbers : NumberSets())
            EXPECT_EQ(plan.Fill(numbers), reference::Fill(xml, numbers))
                << xml << "\nwith " << numbers.size() << " numbers";
    }
}

TEST(SheetPlan, ASheetWithoutSheetDataIsRefusedByName) {
    pugi::xml_document doc;
    ParseXmlPart(doc, kDecl + "<worksheet " + kMain + "/>", "甲.xlsx的sheet1.xml");
    try {
        SheetPlan plan(doc, "甲.xlsx的sheet1.xml");
        ADD_FAILURE();
    } catch (const base::Failure& e) {
        EXPECT_NE(std::string(e.what()).find("甲.xlsx的sheet1.xml不是工作表"), std::string::npos);
    }
}

}  // namespace
}  // namespace zorbix::office

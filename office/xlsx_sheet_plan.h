// The first sheet of an xlsx template prepared once for many fills. The
// sheet is parsed once and cut into the texts pugixml saves for each of its
// rows and cells, in each form a fill can give them (as they are, filled
// with a number, with a formula's new cached value); a fill then only
// chooses and joins texts. What it writes is byte for byte what parsing the
// part, merging the numbers into the tree (rows and cells created in order,
// replaced cells keeping their style, stale "spans" dropped), caching every
// formula's value, widening <dimension> and saving the tree would write.
#pragma once

#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "office/formula_sheet.h"
#include "office/xlsx_sheet_edit.h"

namespace zorbix::office {

class SavedRows;  // office/xlsx_saved_rows.h

class SheetPlan {
public:
    // Prepares the parsed sheet (its rows and cells get positions where
    // they had none, as a merge gives them). Throws base::Failure naming
    // `what` (file and part) when the part is no worksheet.
    SheetPlan(pugi::xml_document& sheet, std::string_view what);

    // The sheet's XML with the numbers set.
    std::string Fill(const CellNumbers& numbers) const;

private:
    // A piece of texts_.
    struct Text {
        std::uint32_t at = 0, size = 0;
    };
    struct Cell {
        int row = 0;     // of its row, as the merge counts it
        int column = 0;  // 0 when its position cannot be read
        Text as_is;
        Text filled_open;  // start tag of the cell given a number
        Text close;
        bool cached = false;  // a formula cell whose value a fill computes
        Text before_value, after_value, value_open, value_close;
        std::string formula_text;
        FormulaSheetCell formula;  // how formulas see it as it is
    };
    // A child of a row or of <sheetData>: a cell or row by index, or text
    // kept as it is (blanks, comments).
    struct Child {
        int index = -1;
        Text text;
    };
    struct Row {
        int number = 0;
        std::string empty, open, merged_open, close;
        std::vector<Child> children;
    };
    template <typename Visitor>
    void Walk(const CellNumbers& numbers, Visitor& visitor) const;
    template <typename Visitor>
    void WalkRow(const Row& row, CellNumbers::const_iterator first,
                 CellNumbers::const_iterator last, Visitor& visitor) const;

    void PrepareRows(pugi::xml_node sheet_data);
    void PrepareRows(pugi::xml_node sheet_data, SavedRows* saved);
    // `saved`: the cell's text cut out of the rows' saved text, when known.
    void PrepareCell(pugi::xml_document& scratch, pugi::xml_node cell, int row,
                     std::string_view saved);
    void PrepareDocument(pugi::xml_document& sheet, pugi::xml_node sheet_data,
                         std::string_view what);
    std::string Dimension(const CellNumbers& numbers) const;

    std::string_view Of(Text text) const {
        return std::string_view(texts_).substr(text.at, text.size);
    }
    Text Print(pugi::xml_node node);
    Text Keep(std::string_view text);

    std::string texts_;   // the saved texts of the cells and other children, one after another
    std::string prefix_;  // of <sheetData>, which new rows and cells take
    std::vector<Cell> cells_;
    std::vector<Row> rows_;
    std::vector<Child> data_;  // the children of <sheetData>
    // The document around the rows: with the dimension as it is, and cut
    // where a widened one goes; the whole sheet when it has no rows at all.
    std::string head_, tail_, dimension_head_, dimension_tail_, no_rows_;
    std::string dimension_ref_;  // "" without a <dimension>
    bool has_dimension_ = false;
};

}  // namespace zorbix::office

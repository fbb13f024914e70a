// How a summary sheet looks on paper and on screen: landscape A4, one page
// wide and as many tall as it takes when that prints its figures at 8 point
// or more (75 % of the cells' 11 point), else across pages at 80 %, each
// band of columns from top to bottom before the next; row 1 and column A on
// every page, the
// title and survey year at the top, the page number at the bottom, the
// panes frozen below the headings and right of the labels, the label
// column as wide as its longest label.
#pragma once

#include <xlsxwriter.h>

#include <string>
#include <string_view>
#include <vector>

namespace zorbix::templates {

// The printed range is the sheet's used range, so a figure that an odd code
// puts beside the labelled columns is printed too. `points`: the width of
// all columns (what FitLabelColumn and FitDataColumns return).
void SetPrintLayout(lxw_worksheet* sheet, std::string_view title, double points);

// The print scale of a sheet `points` wide: 0 to fit it one page wide,
// else the scale at which it goes across pages.
int PrintScale(double points);

// The width of a text in the sheet's character units: Chinese characters
// (and every other character beyond ASCII) count two.
double DisplayWidth(std::string_view utf8);

// Column A as wide as the widest of its labels; its width in points.
double FitLabelColumn(lxw_worksheet* sheet, const std::vector<std::string>& labels);

// A heading of a data column and the column it stands over (1-based).
struct HeadingAt {
    int column;
    std::string text;
};

// Each data column as wide as the figures of its unit need (counts narrow,
// amounts in thousand yuan wide), so a wide summary shrinks less to fit the
// page; columns without a heading up to last_column take the widest; and a
// heading row tall enough for every heading wrapped in its column. Their
// width in points.
double FitDataColumns(lxw_worksheet* sheet, const std::vector<HeadingAt>& headings,
                      int last_column);

}  // namespace zorbix::templates

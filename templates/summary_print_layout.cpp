#include "templates/summary_print_layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "summary/summary_catalogue.h"

namespace zorbix::templates {
namespace {

constexpr std::uint8_t kPaperA4 = 9;
// The printable width of landscape A4 within the margins below, in points.
constexpr double kPrintableWidth = 842 - 2 * 0.4 * 72;
// Cells are Calibri (Carlito) 11 point: at less than 73 % a figure would
// print under 8 point. A sheet that would need less than 76 % to fit one
// page wide goes across pages at 80 % (8.8 point), column A repeated on
// each.
constexpr int kSmallestFitScale = 76;
constexpr int kAcrossScale = 80;
// LibreOffice prints a sheet about a third wider than the column formula
// below says (measured: fitted at 80 % where it gave 106 %, at 68 % where
// it gave 86 %), so the scale it would fit at is estimated with that.
constexpr double kLibreOfficeWidth = 1.33;

// A column of `width` characters in points, as Excel and LibreOffice lay it
// out for an 11 point Calibri (7 pixels a character and 5 of padding, at
// 96 pixels an inch).
double ColumnPoints(double width) { return (width * 7 + 5) * 0.75; }
constexpr double kLineHeight = 15;  // points per wrapped line of a heading

// Header and footer codes take "&" as their escape: a literal one doubles.
std::string HeaderText(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        escaped += c;
        if (c == '&') escaped += '&';
    }
    return escaped;
}

// Column widths in characters by what a column holds: counts of projects
// and people stay below six digits, patents and papers below seven, person-
// months below eight, thousand yuan over all projects up to ten with a
// fraction.
constexpr double kWidestDataColumn = 12;

double WidthForUnit(std::string_view heading) {
    const std::pair<std::string_view, double> units[] = {
        {"(个)", 8}, {"(人)", 8}, {"(件)", 9}, {"(篇)", 9}, {"(万字)", 9}, {"(人月)", 10}};
    for (const auto& [unit, width] : units)
        if (heading.ends_with(unit)) return width;
    return kWidestDataColumn;
}

}  // namespace

double DisplayWidth(std::string_view utf8) {
    double width = 0;
    for (unsigned char c : utf8) {
        if (c < 0x80)
            width += 1;
        else if ((c & 0xC0) != 0x80)
            width += 2;  // a lead byte
    }
    return width;
}

int PrintScale(double points) {
    if (points <= 0) return 0;
    const double fit = 100 * kPrintableWidth / (points * kLibreOfficeWidth);
    return fit >= kSmallestFitScale ? 0 : kAcrossScale;
}

void SetPrintLayout(lxw_worksheet* sheet, std::string_view title, double points) {
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, kPaperA4);
    if (const int scale = PrintScale(points))
        // Across pages, each band of columns down the sheet before the next.
        worksheet_set_print_scale(sheet, static_cast<uint16_t>(scale));
    else
        worksheet_fit_to_pages(sheet, 1, 0);  // one page wide, as tall as it takes
    worksheet_repeat_rows(sheet, 0, 0);
    worksheet_repeat_columns(sheet, 0, 0);
    worksheet_set_margins(sheet, 0.4, 0.4, 0.75, 0.6);
    worksheet_center_horizontally(sheet);
    const std::string header = "&C&\"-,Bold\"&14" + HeaderText(title) + "&R调查年度：" +
                               std::string(summary::kSurveyYear) + "年";
    worksheet_set_header(sheet, header.c_str());
    worksheet_set_footer(sheet, "&C第 &P 页，共 &N 页");
    worksheet_freeze_panes(sheet, 1, 1);
}

double FitLabelColumn(lxw_worksheet* sheet, const std::vector<std::string>& labels) {
    double widest = 10;
    for (const std::string& label : labels) widest = std::max(widest, DisplayWidth(label));
    worksheet_set_column(sheet, 0, 0, widest + 2, nullptr);
    return ColumnPoints(widest + 2);
}

double FitDataColumns(lxw_worksheet* sheet, const std::vector<HeadingAt>& headings,
                      int last_column) {
    std::map<int, double> widths;
    for (int column = 2; column <= last_column; ++column) widths[column] = kWidestDataColumn;
    double lines = 1;
    for (const HeadingAt& h : headings) {
        const double width = WidthForUnit(h.text);
        widths[h.column] = width;
        lines = std::max(lines, std::ceil(DisplayWidth(h.text) / (width - 1)));
    }
    double points = 0;
    for (const auto& [column, width] : widths) {
        worksheet_set_column(sheet, static_cast<lxw_col_t>(column - 1),
                             static_cast<lxw_col_t>(column - 1), width, nullptr);
        points += ColumnPoints(width);
    }
    worksheet_set_row(sheet, 0, lines * kLineHeight + 6, nullptr);
    return points;
}

}  // namespace zorbix::templates

#include "templates/summary_sheet.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/error.h"
#include "office/xlsx_cell_writer.h"
#include "summary/standard_rows.h"
#include "templates/summary_print_layout.h"

namespace zorbix::templates {
namespace {

using summary::Posting;
using summary::SummaryDefinition;

// A column the template computes: the sum of other columns of its row.
struct TotalColumn {
    int column;
    std::string heading;
    std::vector<int> parts;
};

std::vector<int> Every(int first, int last, int step) {
    std::vector<int> columns;
    for (int c = first; c <= last; c += step) columns.push_back(c);
    return columns;
}

// "省科技拨款(千元)" totalled: "省科技拨款合计(千元)".
std::string TotalOf(std::string_view heading) {
    const std::size_t unit = std::min(heading.find('('), heading.size());
    return std::string(heading.substr(0, unit)) + "合计" + std::string(heading.substr(unit));
}

// Only columns no figure is ever written to carry formulas.
std::vector<TotalColumn> TotalColumns(const SummaryDefinition& s) {
    switch (s.posting) {
        case Posting::Leader:
        case Posting::Participants: return {{2, "人数合计(人)", {3, 4}}};
        case Posting::Reason: return {{13, "项目数合计(个)", Every(2, 12, 1)}};
        case Posting::PlanFunds:
            return {{2, "项目数合计(个)", Every(4, 26, 2)},
                    {3, TotalOf(s.fields.front().heading), Every(5, 27, 2)}};
        default: return {};
    }
}

std::string Cell(int row, int column) {
    return office::ColumnLetters(column) + std::to_string(row);
}

std::string RowSum(int row, const std::vector<int>& parts) {
    std::string formula = "=";
    for (std::size_t i = 0; i < parts.size(); ++i) formula += (i ? "+" : "") + Cell(row, parts[i]);
    return formula;
}

struct Formats {
    lxw_format* heading;
    lxw_format* label;
    lxw_format* group;
    lxw_format* data;
    lxw_format* total;
};

Formats MakeFormats(lxw_workbook* book) {
    Formats f{};
    f.heading = workbook_add_format(book);
    format_set_bold(f.heading);
    format_set_text_wrap(f.heading);
    format_set_align(f.heading, LXW_ALIGN_CENTER);
    format_set_align(f.heading, LXW_ALIGN_VERTICAL_CENTER);
    format_set_border(f.heading, LXW_BORDER_THIN);
    f.label = workbook_add_format(book);
    format_set_border(f.label, LXW_BORDER_THIN);
    f.group = workbook_add_format(book);
    format_set_bold(f.group);
    f.data = workbook_add_format(book);
    format_set_border(f.data, LXW_BORDER_THIN);
    f.total = workbook_add_format(book);
    format_set_bold(f.total);
    format_set_border(f.total, LXW_BORDER_THIN);
    return f;
}

class SheetWriter {
public:
    SheetWriter(lxw_workbook* book, const SummaryDefinition& s)
        : sheet_(workbook_add_worksheet(book, std::string(s.name).c_str())),
          formats_(MakeFormats(book)),
          headings_(summary::ColumnHeadings(s)),
          totals_(TotalColumns(s)),
          title_(s.name) {
        for (const auto& h : headings_) last_column_ = std::max(last_column_, h.column);
        for (const auto& t : totals_) last_column_ = std::max(last_column_, t.column);
    }

    void Write() {
        WriteLayout();
        WriteHeadings();
        for (const summary::RowLabel& label : summary::StandardRowLabels()) WriteRow(label);
    }

private:
    void WriteLayout() {
        std::vector<std::string> labels;
        for (const summary::RowLabel& label : summary::StandardRowLabels())
            labels.push_back(label.text);
        double points = FitLabelColumn(sheet_, labels);
        std::vector<HeadingAt> headings;
        for (const auto& h : headings_) headings.push_back({h.column, h.text});
        for (const auto& t : totals_) headings.push_back({t.column, t.heading});
        points += FitDataColumns(sheet_, headings, last_column_);
        SetPrintLayout(sheet_, title_, points);
    }

    void WriteHeadings() {
        for (const auto& h : headings_) Text(1, h.column, h.text, formats_.heading);
        for (const auto& t : totals_) Text(1, t.column, t.heading, formats_.heading);
    }

    void WriteRow(const summary::RowLabel& label) {
        if (label.row == 1) {
            Text(1, 1, label.text, formats_.heading);
            return;
        }
        const bool total = IsTotalRow(label.row);
        if (label.heading && !total) {
            Text(label.row, 1, label.text, formats_.group);
            return;
        }
        Text(label.row, 1, label.text, total ? formats_.total : formats_.label);
        for (int column = 2; column <= last_column_; ++column) {
            if (const TotalColumn* t = TotalAt(column))
                Formula(label.row, column, RowSum(label.row, t->parts), total);
            else if (total)
                Formula(label.row, column, GroupSum(label.row, column), true);
            else
                worksheet_write_blank(sheet_, Row(label.row), Col(column), formats_.data);
        }
    }

    std::string GroupSum(int total_row, int column) const {
        for (const auto& g : summary::RowGroups())
            if (g.total_row == total_row)
                return "=SUM(" + Cell(g.first_row, column) + ":" + Cell(g.last_row, column) + ")";
        return "";
    }

    static bool IsTotalRow(int row) {
        const auto groups = summary::RowGroups();
        return std::any_of(groups.begin(), groups.end(),
                           [row](const auto& g) { return g.total_row == row; });
    }

    const TotalColumn* TotalAt(int column) const {
        for (const auto& t : totals_)
            if (t.column == column) return &t;
        return nullptr;
    }

    void Text(int row, int column, const std::string& text, lxw_format* format) {
        worksheet_write_string(sheet_, Row(row), Col(column), text.c_str(), format);
    }

    void Formula(int row, int column, const std::string& formula, bool total) {
        worksheet_write_formula(sheet_, Row(row), Col(column), formula.c_str(),
                                total ? formats_.total : formats_.data);
    }

    static lxw_row_t Row(int row) { return static_cast<lxw_row_t>(row - 1); }
    static lxw_col_t Col(int column) { return static_cast<lxw_col_t>(column - 1); }

    lxw_worksheet* sheet_;
    Formats formats_;
    std::vector<summary::ColumnHeading> headings_;
    std::vector<TotalColumn> totals_;
    std::string title_;
    int last_column_ = 2;
};

}  // namespace

void WriteSummaryTemplate(const SummaryDefinition& summary, const std::filesystem::path& file) {
    const std::filesystem::path temporary = base::TemporaryBeside(file);
    lxw_workbook* book = workbook_new(temporary.c_str());
    if (!book) throw base::Failure("无法建立文件“" + temporary.string() + "”。");
    SheetWriter(book, summary).Write();
    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw base::Failure("无法写入文件“" + file.string() + "”：" + lxw_strerror(error));
    }
    base::CommitTemporary(temporary, file);
}

}  // namespace zorbix::templates

#include "lists/import_plan.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/gbk.h"
#include "base/message_text.h"
#include "base/numeric_value.h"
#include "base/utf8.h"
#include "lists/list_file_reader.h"
#include "lists/spreadsheet_values.h"
#include "office/xlsx_cell_writer.h"
#include "store/catalogue.h"
#include "store/project_number.h"
#include "store/value_rules.h"

namespace zorbix::lists {
namespace {

using base::MessageText;

std::string Address(int row, int column) {
    return office::ColumnLetters(column) + std::to_string(row);
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool HasProjectNumberHeading(std::span<const ListCell> cells) {
    return std::any_of(cells.begin(), cells.end(), [](const ListCell& c) {
        return c.kind == ListCell::Kind::Text && Trimmed(c.text) == "JB02";
    });
}

// A line break typed in a spreadsheet cell (Alt+Enter) is a lone LF; the
// results text keeps its line breaks as CR LF, as the survey's programs
// expect.
std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

// A number that is not finite (NaN, an infinity) is no figure of the
// survey: a number cell holding one, or a text of a number column that reads
// whole as one ("NaN", "-INF", "Infinity", "1e999"), is refused like a cell
// of the wrong kind.
bool NotFinite(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ptr != text.data() + text.size() || text.empty()) return false;
    if (r.ec != std::errc::result_out_of_range) return !std::isfinite(value);
    // Out of range is an overflow unless the exponent is negative.
    const std::size_t e = text.find_first_of("eE");
    return e == std::string_view::npos || text.substr(e + 1, 1) != "-";
}

std::optional<std::string> NumberFault(const ListCell& cell, const store::Column& column) {
    const bool number_cell = cell.kind == ListCell::Kind::Number;
    if (number_cell ? std::isfinite(cell.number)
                    : column.kind != store::Kind::Number || !NotFinite(cell.text))
        return std::nullopt;
    return MessageText("的数值“{1}”不是有限的数（NaN或无穷大），不能导入。", {cell.text});
}

// A cell of a kind no column takes as it stands: the address, the column,
// the kind and the cell's text.
constexpr std::string_view kNotText =
    "{1}单元格（{2}）是{3}“{4}”，不能导入：请把该列的单元格设为文本格式，输入要保存的文字。";

// What is wrong with a cell, after its address and column.
std::string CellProblem(int row, const ListCell& cell, const store::Column& column,
                        std::string_view fault) {
    return MessageText("{1}单元格（{2}）{3}", {Address(row, cell.column), column.name, fault});
}

const char* KindName(ListCell::Kind kind) {
    switch (kind) {
        case ListCell::Kind::Date: return "日期或时间";
        case ListCell::Kind::Boolean: return "逻辑值（TRUE/FALSE）";
        case ListCell::Kind::Error: return "错误值";
        default: return "";
    }
}

}  // namespace

void ImportPlanner::Problem(std::string text) {
    if (plan_.problem_count++ < kNamedProblems) plan_.problems.push_back(std::move(text));
}

void ImportPlanner::Row(int row, std::span<const ListCell> cells) {
    any_row_ = true;
    if (plan_.heading_row > 0) return Data(row, cells);
    // Row 1 may hold the captions above the names (the exported layout).
    if (row <= 2 && HasProjectNumberHeading(cells)) return Heading(row, cells);
    if (row >= 2 && plan_.problem_count == 0)
        Problem("第1行和第2行都不是列名行（列名行应含有JB02等项目表的列名），文件不是项目表。");
}

void ImportPlanner::Heading(int row, std::span<const ListCell> cells) {
    plan_.heading_row = row;
    std::vector<int> seen(store::kColumnCount, 0);
    for (const ListCell& cell : cells) {
        const auto name = Trimmed(cell.text);
        std::optional<int> column;
        if (cell.kind == ListCell::Kind::Text) column = store::FindColumn(name);
        if (column_of_.size() < static_cast<std::size_t>(cell.column))
            column_of_.resize(cell.column, -1);
        if (!column) {
            // A clerk's own column (备注): left out, named once afterwards.
            column_of_[cell.column - 1] = kLeftOut;
            plan_.left_out += MessageText(plan_.left_out.empty() ? "{1}列“{2}”" : "、{1}列“{2}”",
                                          {office::ColumnLetters(cell.column), cell.text});
            continue;
        }
        if (seen[*column] > 0) {
            Problem(MessageText(
                "列名“{1}”出现了两次（{2}列和{3}列）。",
                {name, office::ColumnLetters(seen[*column]), office::ColumnLetters(cell.column)}));
            continue;
        }
        seen[*column] = cell.column;
        column_of_[cell.column - 1] = *column;
    }
    told_unnamed_.assign(column_of_.size(), false);
}

void ImportPlanner::Data(int row, std::span<const ListCell> cells) {
    if (plan_.project_count >= kMaxImportRows) {
        if (!too_many_)
            Problem(MessageText("文件中的项目超过{1}个，不能一次导入。",
                                {std::to_string(kMaxImportRows)}));
        too_many_ = true;
        return;
    }
    values_.assign(store::kColumnCount, std::string_view());
    breaks_.clear();
    breaks_.reserve(store::kColumnCount);  // never moved while viewed
    for (const ListCell& cell : cells) {
        const int index =
            cell.column <= static_cast<int>(column_of_.size()) ? column_of_[cell.column - 1] : -1;
        if (index == kLeftOut) continue;
        if (index < 0) {
            if (cell.column > static_cast<int>(told_unnamed_.size()))
                told_unnamed_.resize(cell.column, false);
            if (!told_unnamed_[cell.column - 1])
                Problem(
                    MessageText("{1}单元格有内容，但{2}列没有列名。",
                                {Address(row, cell.column), office::ColumnLetters(cell.column)}));
            told_unnamed_[cell.column - 1] = true;
            continue;
        }
        const store::Column& column = store::Columns()[index];
        if (cell.kind == ListCell::Kind::Date || cell.kind == ListCell::Kind::Number) {
            if (const auto fault = NumberFault(cell, column)) {
                Problem(CellProblem(row, cell, column, *fault));
                continue;
            }
            if (!SpreadsheetValue(row, cell, column)) continue;
            values_[index] = breaks_.back();
            continue;
        }
        if (cell.kind != ListCell::Kind::Text) {
            Problem(MessageText(kNotText, {Address(row, cell.column), column.name,
                                           KindName(cell.kind), cell.text}));
            continue;
        }
        if (const auto fault = NumberFault(cell, column)) {
            Problem(CellProblem(row, cell, column, *fault));
            continue;
        }
        values_[index] = cell.text;
        if (column.kind == store::Kind::MultiLineText && cell.text.find('\n') != std::string::npos)
            values_[index] = breaks_.emplace_back(WithCrLf(cell.text));
        // A value longer than its column's limit is kept whole, as append
        // keeps it; only what no output could carry is refused.
        if (const auto fault = store::ValueFault(column, values_[index]))
            Problem(CellProblem(row, cell, column, MessageText("{1}，不能导入。", {*fault})));
    }
    CheckNumber(row, values_[store::kNumberColumn]);
    ++plan_.project_count;
    if (sink_ || plan_.kept) Keep(row);
}

void ImportPlanner::Keep(int row) {
    std::size_t bytes = 0;
    for (const std::string_view v : values_) bytes += v.size();
    IncomingProject project;
    project.row = row;
    project.record.Reserve(bytes);
    project.record.Assign([&](int c) { return values_[static_cast<std::size_t>(c)]; });
    if (sink_) return sink_(project);
    // A record's bytes, its offsets and the string's own allocation.
    kept_bytes_ += bytes + sizeof(IncomingProject) + 32;
    if (kept_bytes_ > kKeptProjectBytes) {
        plan_.kept = false;
        std::vector<IncomingProject>().swap(plan_.projects);
        return;
    }
    plan_.projects.push_back(std::move(project));
}

// A number as a spreadsheet shows it, a date in its column's form, into
// breaks_; false (with the problem) for a date where the column holds none.
// A text longer than the column's limit is taken whole, as every way in
// takes it.
bool ImportPlanner::SpreadsheetValue(int row, const ListCell& cell, const store::Column& column) {
    std::string text;
    if (cell.kind == ListCell::Kind::Number) {
        text = SpreadsheetNumberText(cell.number);
    } else if (const auto date = DateCellValue(cell, column.kind)) {
        text = *date;
    } else {
        Problem(MessageText(kNotText, {Address(row, cell.column), column.name, "日期或时间",
                                       DateCellDisplay(cell)}));
        return false;
    }
    breaks_.push_back(std::move(text));
    return true;
}

void ImportPlanner::CheckNumber(int row, std::string_view number) {
    if (number.empty())
        return Problem(MessageText("第{1}行没有项目编号（JB02）。", {std::to_string(row)}));
    if (!store::HasProjectNumberLength(number))
        return Problem(
            MessageText("第{1}行的项目编号“{2}”不是12位。", {std::to_string(row), number}));
    numbers_.emplace_back(base::NumericValue(number), row);
}

ImportPlan ImportPlanner::Finish() {
    if (!any_row_)
        Problem("文件中没有任何内容（第一张工作表是空的）。");
    else if (plan_.heading_row == 0 && plan_.problem_count == 0)
        Problem("文件中没有列名行（第1行或第2行应是JB02等项目表的列名），不是项目表。");
    else if (plan_.heading_row > 0 && plan_.project_count == 0 && plan_.problem_count == 0)
        Problem("文件中没有项目数据（列名行之后没有内容）。");
    // A number twice in the file: sorted by value, neighbours of one project.
    std::stable_sort(numbers_.begin(), numbers_.end());
    for (std::size_t i = 1; i < numbers_.size(); ++i)
        if (store::SameProjectNumber(numbers_[i - 1].first, numbers_[i].first))
            Problem(MessageText(
                "第{1}行的项目编号与第{2}行的相同。",
                {std::to_string(numbers_[i].second), std::to_string(numbers_[i - 1].second)}));
    return std::move(plan_);
}

ImportPlan PlanImport(const std::filesystem::path& file, ListFormat format,
                      const ReadProgress& progress) {
    ImportPlanner planner;
    ReadListRows(
        file, format, [&](int row, std::span<const ListCell> cells) { planner.Row(row, cells); },
        progress);
    return planner.Finish();
}

}  // namespace zorbix::lists

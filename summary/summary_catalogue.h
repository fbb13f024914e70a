// The twelve summaries as data: their workbooks, how far they write, how a
// record is posted and which fields feed which columns, in the order the
// run produces them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorbix::summary {

// How a summary turns one record into figures.
enum class Posting {
    Amounts,       // each field's amount into its own column
    Progress,      // a count in the column of the progress code (JB71)
    Reason,        // a count in the column of the first unfinished reason (JB72_01)
    Leader,        // person 1 counted by sex, degree, title and age group
    Participants,  // persons 2 and 3 counted the same way
    PlanFunds,     // per plan category a count and the funds with their fraction
};

struct FieldColumn {
    int column;                // sheet column the field feeds
    int field;                 // index of the column in the record
    std::string_view heading;  // the template's column heading
};

struct SummaryDefinition {
    std::string_view name;  // the workbook's name without extension
    int last_column;        // columns 1 to this are written
    int grid_columns;       // 22, or 31 for the plan category summaries
    Posting posting;
    // Amounts: the field of each column. PlanFunds: the one funds field.
    std::vector<FieldColumn> fields;
};

inline constexpr int kSummaryCount = 12;
// The survey year the summaries are of (their outputs end in "_2013").
inline constexpr std::string_view kSurveyYear = "2013";
// Fields one summary may feed at the most (the table three summary feeds 18).
inline constexpr std::size_t kMaxSummaryFields = 24;

// The twelve summaries in run order.
std::span<const SummaryDefinition> Summaries();

// "<name>.xlsx" and "<name>_2013.xlsx".
std::string TemplateFileName(const SummaryDefinition& summary);
std::string OutputFileName(const SummaryDefinition& summary);

// The template whose presence shows the summary commands.
inline constexpr std::string_view kTalentTemplate = "人才培养情况.xlsx";

// The column headings of a summary's data columns (column, text), taken from
// the code lists where the columns stand for codes.
struct ColumnHeading {
    int column;
    std::string text;
};
std::vector<ColumnHeading> ColumnHeadings(const SummaryDefinition& summary);

}  // namespace zorbix::summary

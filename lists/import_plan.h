// What an import would add, worked out from a list file before anything is
// written: the heading row of column names (row 1 or row 2, so an exported
// workbook imports as it is), one record per data row in file order, and
// every problem that refuses the whole file, each naming its row and column.
#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "lists/list_files.h"
#include "office/xlsx_rows.h"
#include "store/catalogue.h"
#include "store/record.h"

namespace zorbix::lists {

using office::ListCell;
using office::ReadProgress;

// At most this many problems are named; the rest are counted.
inline constexpr int kNamedProblems = 20;
// A list holds at most this many projects.
inline constexpr int kMaxImportRows = 100'000;
// The planned records are kept while they take at most this many bytes, so
// that a usual list is read once; past it the plan keeps only what it
// checks, and the import reads the file a second time as it writes.
inline constexpr std::size_t kKeptProjectBytes = std::size_t{64} << 20;

struct IncomingProject {
    int row = 0;  // in the file, for messages
    store::Record record;
};

struct ImportPlan {
    std::vector<IncomingProject> projects;  // all of them when `kept`, else none
    bool kept = true;
    int project_count = 0;
    std::vector<std::string> problems;  // the first kNamedProblems
    int problem_count = 0;
    // Said after the import: the columns left out (headings that are no
    // column of the table, such as a clerk's 备注), in one line; empty when
    // none.
    std::string left_out;
    int heading_row = 0;  // 0 when none was found
};

// Turns the rows of a file into records. A boolean or error cell, a date
// cell in a column that holds no date, a row without a project number, a
// number that is not 12 characters, a number twice in the file, a heading
// that stands twice, data under no heading, a number that is not finite and
// a value that the store's value rule refuses (store/value_rules.h) are
// problems; a value longer than its column's limit is taken whole. A column
// whose heading is no column of the table is left out (named in left_out).
// Numbers are stored as a spreadsheet shows them (SpreadsheetNumberText),
// dates in their column's form (DateCellValue).
class ImportPlanner {
public:
    using ProjectSink = std::function<void(const IncomingProject&)>;

    // With a sink, each planned project goes to it as its row is read and
    // none is kept.
    explicit ImportPlanner(ProjectSink sink = {}) : sink_(std::move(sink)) {}

    void Row(int row, std::span<const ListCell> cells);
    // Ends the plan: a file without a heading row or without data rows has
    // a problem saying so.
    ImportPlan Finish();

private:
    void Heading(int row, std::span<const ListCell> cells);
    void Data(int row, std::span<const ListCell> cells);
    void CheckNumber(int row, std::string_view number);
    bool SpreadsheetValue(int row, const ListCell& cell, const store::Column& column);
    void Problem(std::string text);

    void Keep(int row);

    ProjectSink sink_;
    ImportPlan plan_;
    std::size_t kept_bytes_ = 0;
    std::vector<int> column_of_;         // file column - 1 → table column, -1 none, kLeftOut
    static constexpr int kLeftOut = -2;  // a heading that is no column of the table
    std::vector<bool> told_unnamed_;
    // A row's values by table column: views of the cells' texts, or of
    // breaks_ where a text's line breaks were made CR LF.
    std::vector<std::string_view> values_;
    std::vector<std::string> breaks_;
    std::vector<std::pair<double, int>> numbers_;  // value, row
    bool too_many_ = false;
    bool any_row_ = false;
};

// Reads the file and plans its import.
ImportPlan PlanImport(const std::filesystem::path& file, ListFormat format,
                      const ReadProgress& progress = {});

}  // namespace zorbix::lists

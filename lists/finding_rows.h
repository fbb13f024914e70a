// The findings of a check as rows of a sheet, one per finding: the project
// number and name, the page and the field the finding leads to (where its
// rule names one), and the line exactly as the check result panel shows it.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_result.h"
#include "office/list_workbook.h"
#include "store/record.h"

namespace zorbix::lists {

using office::ListWorkbook;

inline constexpr std::string_view kFindingsSheetName = "审核结果";

struct FindingRow {
    std::string number;
    std::string name;
    std::string page;  // "表二、项目资金落实及支出情况"; "" when the rule names no field
    std::string column;   // "JF110"
    std::string caption;  // "省科技拨款(千元)"
    std::string text;     // the panel's line, without its line end
};

// The rows of the findings of a check of `record`.
void AddFindingRows(const store::Record& record, std::span<const check::Finding> findings,
                    std::vector<FindingRow>& rows);

// `find` gives the record of a project number (nullopt: the row has number
// and text only).
using RecordLookup = std::function<std::optional<store::Record>(std::string_view number)>;

// The rows of the findings of a check.
std::vector<FindingRow> FindingRowsOf(std::span<const check::Finding> findings,
                                      const RecordLookup& find);

// Writes the rows as a new sheet "审核结果" of the workbook: a heading row,
// then one row per finding; the heading row alone when there are none.
void WriteFindingsSheet(ListWorkbook& workbook, const std::vector<FindingRow>& rows);

}  // namespace zorbix::lists

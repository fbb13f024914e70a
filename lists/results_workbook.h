// "保存结果" with the choice of a workbook: the result panel's findings as a
// sheet with one row per finding, for an office to sort and send on. A
// check's findings give the rows of finding_rows.h; a reconciliation gives
// its kind (漏报, 错报, 金额错误), the project number, the plan's and the
// store's texts and the plan's and the store's amounts side by side. Any
// other name than .xlsx gets the GBK text file as before
// (check/check_report_file.h).
#pragma once

#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "base/prompter.h"
#include "lists/finding_rows.h"
#include "reconcile/reconciliation.h"
#include "store/record_set.h"

namespace zorbix::lists {

inline constexpr std::string_view kResultsFilter = "Txt|*.Txt|Excel工作簿|*.xlsx";

// Asks for the file (text or workbook) and saves the panel; Cancelled as
// the text save is when no name is given. `findings` are those the panel's
// lines stand for, in line order.
base::Outcome SaveResults(store::RecordSet& records, base::Prompter& prompter,
                          std::string_view panel, const std::filesystem::path& program_dir,
                          std::span<const check::Finding> findings);

// Saves the panel into `file`: a workbook for .xlsx (a reconciliation's
// panel is worked out again from the plan workbook in `program_dir` and the
// store; a check's panel gives one row per finding of `findings`), the text
// file otherwise. Tells where it lies or why not.
base::Outcome SaveResultsTo(store::RecordSet& records, base::Prompter& prompter,
                            std::string_view panel, const std::filesystem::path& program_dir,
                            const std::filesystem::path& file,
                            std::span<const check::Finding> findings);

// The workbooks themselves; throw base::Failure naming the file.
void WriteFindingsWorkbook(const std::filesystem::path& file, const std::vector<FindingRow>& rows);
void WriteReconcileWorkbook(const std::filesystem::path& file,
                            const std::vector<reconcile::ReconcileFinding>& findings);

}  // namespace zorbix::lists

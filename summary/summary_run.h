// The summary run of the "汇  总" button: one scan over every stored
// project feeds the twelve grids (summary/summary_grids.h), then each grid
// is written into its workbook. A workbook that cannot be written is
// reported by name and the others are still written; the run ends with
// "汇总完成。" only when all twelve were written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"
#include "summary/summary_grids.h"

namespace zorbix::summary {

struct SummaryRunResult {
    // Done when all twelve were written, Failed otherwise.
    base::Outcome outcome = base::Outcome::Done;
    std::vector<std::string> written;  // output file names
    std::vector<std::string> failed;   // output file names not written
    bool Complete() const { return outcome.IsDone(); }
};

// Computes and writes the twelve workbooks into the program directory,
// each failure shown with the workbook's name and reason, then the final
// message (title "科技项目统计", exclamation icon).
SummaryRunResult RunAllSummaries(store::RecordSet& records, base::Prompter& prompter,
                                 const std::filesystem::path& program_dir);

}  // namespace zorbix::summary

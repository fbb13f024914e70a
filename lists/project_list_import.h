// "导入项目表": the projects of a workbook or CSV file in the layout of the
// project table added after the stored ones, in file order.
//
// The whole file is read and checked first (import_plan.h): a file with any
// problem adds nothing, makes no backup, and the message names the first
// problems with their rows and columns. A file whose planned records would
// take more than kKeptProjectBytes is read a second time as it is written,
// so memory stays bounded whatever the file's size. Two reads rather than
// one pass inside the transaction, because the backup must be made before
// the first project goes in and only for a file that will be imported; the
// usual list is kept from the first read and read once. A project number already stored is skipped
// with the append's message. The projects then go in after a backup, in one database transaction (a
// failure or a crash adds none of them), each logged in the change history. Afterwards they are
// checked as 数据审核 checks, and the findings are the new text of the check result panel.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "base/prompter.h"
#include "check/check_result.h"
#include "store/record_set.h"

namespace zorbix::lists {

struct ImportResult {
    base::Outcome outcome = base::Outcome::Failed;
    int added = 0;
    int skipped = 0;    // project numbers already stored
    std::string panel;  // " 审核结果" and the findings of the added projects (when done)
    std::vector<check::Finding> findings;  // the findings the panel's lines are made from
};

// Asks for the file with an open dialog in the program directory; Cancelled
// when none was chosen.
ImportResult ImportProjectList(store::RecordSet& records, base::Prompter& prompter,
                               const std::filesystem::path& program_dir);

// Imports `file`, its format by the extension.
ImportResult ImportProjectListFrom(store::RecordSet& records, base::Prompter& prompter,
                                   const std::filesystem::path& file);

}  // namespace zorbix::lists

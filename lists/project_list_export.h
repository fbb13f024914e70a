// "导出项目表": every stored project, in store order, into a workbook or a
// CSV file for the user's own spreadsheets.
//
// The workbook's sheet "项目" has the columns' captions in row 1, their
// names in row 2 and one project per row from row 3, the project number and
// name kept in view and an autofilter over the names; numbers of the number
// columns are numbers, every other value text exactly as stored. Its sheet
// "审核结果" lists the findings of a check of all projects, one per row.
// The CSV file is UTF-8 with a byte-order mark, one heading row of the
// column names, every value exactly as stored (csv_text.h).
//
// The file is written atomically: a failure or a cancel leaves no file under
// the chosen name. The store is not changed, and the current record stays
// current.
#pragma once

#include <filesystem>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::lists {

// Asks for the file (proposing 项目表_2013.xlsx in the program directory)
// and exports. Cancelled when no file was chosen.
base::Outcome ExportProjectList(store::RecordSet& records, base::Prompter& prompter,
                                const std::filesystem::path& program_dir);

// Exports into `file`, its format by the extension (ListFormatOf; another
// extension is refused with a message). Tells the user where the list lies,
// or why it was not written.
base::Outcome ExportProjectListTo(store::RecordSet& records, base::Prompter& prompter,
                                  const std::filesystem::path& file);

}  // namespace zorbix::lists

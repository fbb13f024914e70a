// "报表打印": prints the saved report of the current project.
#pragma once

#include <filesystem>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::report {

// Prints program directory / JB02.docx of the current record on the default
// printer. A report never generated, an unsafe project number and every
// failure of the print service end with a message. True when the job was
// handed to the printer (a notice names the printer); Refused for a report
// never generated; Failed otherwise.
base::Outcome CommandPrint(const store::RecordSet& records, base::Prompter& prompter,
                           const std::filesystem::path& program_dir);

}  // namespace zorbix::report

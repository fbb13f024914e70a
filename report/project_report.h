// Report generation: the report of one project filled from the report
// template into program directory / JB02.docx, for the current record or for
// every record of the store.
#pragma once

#include <filesystem>
#include <optional>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::report {

// Writes the report of one record (its 137 values) from the template of the
// program directory, replacing an older report atomically, and returns its
// path. Throws base::Failure with the user's message: TemplateMissing when
// there is no template, otherwise naming what failed (an unsafe project
// number, a missing bookmark, a file that cannot be written).
std::filesystem::path WriteProjectReport(const store::Record& record,
                                         const std::filesystem::path& program_dir);

// As WriteProjectReport, from the program directory's template into
// `target` (for a report that is handed on rather than kept there).
void WriteProjectReportTo(const store::Record& record, const std::filesystem::path& program_dir,
                          const std::filesystem::path& target);

class TemplateMissing : public base::Failure {
public:
    using base::Failure::Failure;
};

// The report of the current record (with its pending changes); the store
// does not move. Shows the failure's message and returns Failed when it fails.
base::Outcome MakeProjectReport(const store::RecordSet& records, base::Prompter& prompter,
                                const std::filesystem::path& program_dir);

// "报表生成" of the project list: refuses without a template, makes the
// current record's report and names its file. Done when it was made, Failed
// otherwise.
base::Outcome CommandReport(const store::RecordSet& records, base::Prompter& prompter,
                            const std::filesystem::path& program_dir);

// "报表生成" of the start screen: asks, then makes the report of every record
// in store order with progress; a failing record shows its message and the
// run goes on. Leaves the set past its last record. Done when every report
// was made; Refused for an empty store, Cancelled when the question was
// declined, Failed when a report or the store failed.
base::Outcome CommandReports(store::RecordSet& records, base::Prompter& prompter,
                             const std::filesystem::path& program_dir);

}  // namespace zorbix::report

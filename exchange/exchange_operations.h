// The four exchange commands of the main window. Each asks for what it needs
// through the Prompter, shows the survey's messages and ends with a result
// the window (and the batch tool) can act on; none throws.
//
//   SubmitCurrentProject  "项目上报"  the current record into a file the user chooses
//   SubmitAllProjects     "提交数据"  every record, in store order, into one file
//   DistributeProjects    "项目下发"  each record into <JB02>.kj in a directory
//   AppendProjects        "追加数据"  the records of a chosen file into the store,
//                                     skipping project numbers already stored
//
// Files are written atomically: a failure leaves no half file under the
// chosen name. An append is one database transaction: it adds every record
// of the file it accepts or, when it fails, nothing.
#pragma once

#include <filesystem>
#include <functional>

#include "base/outcome.h"
#include "base/prompter.h"
#include "exchange/resent_projects.h"
#include "store/record_set.h"

namespace zorbix::exchange {

// Done, Cancelled (no file was chosen; the survey's question was shown),
// Refused (ran, but left something out; the user was told what) or Failed
// (nothing or not everything was done; the failure was shown).
using base::Outcome;

// Writes the current record (pending change included) with " " for empty
// values. The position does not change.
Outcome SubmitCurrentProject(store::RecordSet& records, base::Prompter& prompter,
                             const std::filesystem::path& program_dir);

// Writes every record in store order; a value that append would refuse
// (exchange_writer.h) fails the whole file, naming the project and column.
// Afterwards the set stands past its last record.
Outcome SubmitAllProjects(store::RecordSet& records, base::Prompter& prompter,
                          const std::filesystem::path& program_dir);

struct DistributeResult {
    Outcome outcome = Outcome::Done;
    int written = 0;
    int refused = 0;  // numbers that cannot name a file, values append would refuse
};

// Writes one file per record, named after its project number, into
// `output_dir`, with "." for empty values. A number that would make the file
// leave the folder, or a value that append would refuse (exchange_writer.h),
// is refused with a message (which the user may silence for the rest of the
// run) and that record is left out. Afterwards the set stands
// past its last record.
DistributeResult DistributeProjects(store::RecordSet& records, base::Prompter& prompter,
                                    const std::filesystem::path& output_dir);

struct AppendResult {
    Outcome outcome = Outcome::Done;
    int added = 0;
    int skipped = 0;                         // duplicates of stored project numbers
    int identical = 0;                       // skipped duplicates equal to the stored project
    std::vector<ResentProject> differing{};  // skipped duplicates that differ
};

// Asks for a file and adds its records. A file whose fields are not whole
// records (cut, or shifted by a missing or extra field) adds nothing and is
// named with its field count. Afterwards the last record added is
// current, or the stored record that the last incoming duplicate matched.
// The skipped duplicates are compared with the stored projects: the end
// message says how many were identical and which differ.
// `with_added(first)`, when given, writes what belongs to the added records
// (positions first to records.Count()) in the append's own transaction, so
// that a run ended part-way never leaves them without it; what it throws
// undoes the whole append.
using AddedRecordsWriter = std::function<void(int first)>;
AppendResult AppendProjects(store::RecordSet& records, base::Prompter& prompter,
                            const std::filesystem::path& program_dir,
                            const AddedRecordsWriter& with_added = {});

// Compares the records of an exchange file with the stored projects of the
// same numbers and changes nothing: `differing` lists those that differ.
// Failed (the user was told) when the file is refused.
AppendResult CompareWithStore(store::RecordSet& records, base::Prompter& prompter,
                              const std::filesystem::path& file);

}  // namespace zorbix::exchange

// Appending the records of an exchange file to the store. The whole file is
// read and checked first (whole records and values the store may hold among
// them), so a file refused adds nothing and makes no backup; the file is then
// read again as the records go in within one transaction, so a failure or a
// crash part-way adds nothing either (incoming_records.h). Duplicates are
// found through an index of the stored numbers (and of those added in this
// run), not by scanning the store per record.
#include <array>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "base/numeric_value.h"
#include "exchange/exchange_messages.h"
#include "exchange/exchange_operations.h"
#include "exchange/exchange_writer.h"
#include "exchange/incoming_records.h"
#include "exchange/project_number_index.h"
#include "store/backup_operations.h"
#include "store/catalogue.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::exchange {
namespace {

using base::Prompter;

constexpr int kNumberField = 1;
// Rows the record set may hold while a file is appended.
constexpr long kRowsHeld = 4096;

// What one run has done so far.
struct AppendRun {
    AppendResult result;
    int last_match = 0;  // position of the stored record the last duplicate matched
    bool silenced = false;
    bool compare_only = false;  // nothing is added, no duplicate is announced
};

// The values of one record, as views for the comparison.
using Fields = std::array<std::string_view, kFieldsPerRecord>;

Fields Views(const store::Row& row) {
    Fields fields;
    for (int c = 0; c < kFieldsPerRecord; ++c) fields[c] = row[c];
    return fields;
}

// A skipped duplicate, compared with the stored project it matched.
void CompareDuplicate(store::RecordSet& records, int position, const Fields& fields,
                      AppendRun& run) {
    const store::Record stored = records.ReadRow(position);
    auto columns = DifferingColumns(stored, fields);
    if (columns.empty()) {
        ++run.result.identical;
        return;
    }
    ResentProject project{
        std::string(stored[store::kNumberColumn]), stored.ToRow(), {}, std::move(columns)};
    project.incoming.assign(fields.begin(), fields.end());
    run.result.differing.push_back(std::move(project));
}

void AddRecords(const std::filesystem::path& file, std::uintmax_t count, store::RecordSet& records,
                base::Prompter& prompter, base::BusyScope& busy, AppendRun& run) {
    IncomingRecords incoming(file, count);
    ProjectNumberIndex index(records.ColumnValues(store::kNumberColumn));
    store::Row row(kFieldsPerRecord);
    long done = 0;
    while (incoming.Next(row)) {
        const std::string_view number = row[kNumberField];
        const double value = base::NumericValue(number);
        if (const auto match = index.Find(value)) {
            ++run.result.skipped;
            run.last_match = *match;
            CompareDuplicate(records, *match, Views(row), run);
            if (!run.silenced && !run.compare_only)
                run.silenced = prompter.ShowRepeated({std::string(store::kProgramTitle),
                                                      base::MessageText(kNumberExists, {number})});
        } else if (!run.compare_only) {
            records.AddNew(row);
            index.Add(value, records.Count());
            ++run.result.added;
            run.last_match = 0;
        }
        // The added and compared rows need not stay in memory.
        if (++done % kRowsHeld == 0) records.ReleaseCache();
        // Checking was the first half of the progress.
        if (done % 256 == 0)
            busy.Progress(static_cast<long>((incoming.size() + incoming.offset()) >> 10),
                          static_cast<long>((2 * incoming.size()) >> 10));
    }
}

AppendResult Fail(base::Prompter& prompter, const std::string& text) {
    base::Inform(prompter, store::kProgramTitle, text);
    AppendResult result;
    result.outcome = Outcome::Failed;
    return result;
}

// Checks the whole file: its number of records, or nullopt after telling
// the user why it is refused.
std::optional<std::uintmax_t> Checked(const std::filesystem::path& file, base::Prompter& prompter,
                                      base::BusyScope& busy) {
    try {
        return CheckIncomingFile(file, [&busy](std::uintmax_t done, std::uintmax_t total) {
            busy.Progress(static_cast<long>(done >> 10), static_cast<long>((2 * total) >> 10));
        });
    } catch (const NotExchangeFile& refused) {
        Fail(prompter, base::MessageText(kAppendRefused, {refused.what()}));
    } catch (const base::Failure& failure) {
        Fail(prompter, failure.what());
    } catch (const std::bad_alloc&) {
        Fail(prompter,
             base::MessageText(kAppendRefused, {base::MessageText("{1}太大，内存不足，无法读取。",
                                                                  {base::QuotedFileName(file)})}));
    }
    return std::nullopt;
}

}  // namespace

AppendResult AppendProjects(store::RecordSet& records, base::Prompter& prompter,
                            const std::filesystem::path& program_dir,
                            const AddedRecordsWriter& with_added) {
    const auto file = prompter.ChooseOpenFile(
        {std::string(kAppendTitle), std::string(kAppendFilter), program_dir});
    if (!file || file->empty()) {
        prompter.Show({std::string(kAppendTitle), std::string(kNoAppendFile), base::Icon::Question,
                       base::Buttons::YesNo});
        return {Outcome::Cancelled};
    }
    base::BusyScope busy(prompter, kAppendTitle);
    const auto count = Checked(*file, prompter, busy);
    if (!count) return {Outcome::Failed};
    AppendRun run;
    try {
        // Writes a pending change of the current record before the run.
        if (records.Count() > 0) records.MoveFirst();
    } catch (const base::Failure& failure) {
        return Fail(prompter,
                    base::MessageText(kAppendFailed, {store::kRetryHint, failure.what()}));
    }
    if (!store::BackUpBefore(records, prompter, store::operation::kAppend))
        return {Outcome::Failed};
    try {
        store::OperationLabel label(records, store::operation::kAppend);
        store::Transaction transaction(records.database());
        const int first_added = records.Count() + 1;
        AddRecords(*file, *count, records, prompter, busy, run);
        if (with_added) with_added(first_added);
        transaction.Commit();
    } catch (const base::Failure& failure) {
        records.Reopen();  // the rolled-back rows must leave the set too
        return Fail(prompter,
                    base::MessageText(kAppendFailed, {store::kRetryHint, failure.what()}) +
                        "\n本次没有追加任何项目。");
    }
    try {
        if (run.last_match > 0) records.MoveTo(run.last_match);
    } catch (const base::Failure&) {
        // The records are in; only the position is not where the run ended.
    }
    base::Inform(prompter, store::kProgramTitle, kAppended);
    if (const auto summary = ResentSummary(run.result.identical, run.result.differing);
        !summary.empty())
        base::Inform(prompter, store::kProgramTitle, summary);
    return run.result;
}

AppendResult CompareWithStore(store::RecordSet& records, base::Prompter& prompter,
                              const std::filesystem::path& file) {
    base::BusyScope busy(prompter, kAppendTitle);
    const auto count = Checked(file, prompter, busy);
    if (!count) return {Outcome::Failed};
    AppendRun run;
    run.compare_only = true;
    try {
        if (records.HasPendingChange()) records.WriteBack();
        AddRecords(file, *count, records, prompter, busy, run);
    } catch (const base::Failure& failure) {
        return Fail(prompter,
                    base::MessageText(kAppendFailed, {store::kRetryHint, failure.what()}));
    }
    return run.result;
}

}  // namespace zorbix::exchange

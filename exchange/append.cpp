// Appending the records of an exchange file to the store. The whole file is
// read and checked first (whole records among them), so a file refused as
// not an exchange file adds nothing; the records then go in within one transaction, so a failure or
// a crash part-way adds nothing either. Duplicates are found through an index of the stored numbers
// (and of those added in this run), not by scanning the store per record.
#include <array>

#include "base/error.h"
#include "base/file_names.h"
#include "base/numeric_value.h"
#include "exchange/exchange_file.h"
#include "exchange/exchange_messages.h"
#include "exchange/exchange_operations.h"
#include "exchange/exchange_writer.h"
#include "exchange/field_reader.h"
#include "exchange/project_number_index.h"
#include "store/backup_operations.h"
#include "store/catalogue.h"
#include "store/titles.h"

namespace zorbix::exchange {
namespace {

using base::Prompter;

constexpr int kNumberField = 1;

// What one run has done so far.
struct AppendRun {
    AppendResult result;
    int last_match = 0;  // position of the stored record the last duplicate matched
    bool silenced = false;
    bool compare_only = false;  // nothing is added, no duplicate is announced
};

// The fields of one record, as views into the file's text.
using Fields = std::array<std::string_view, kFieldsPerRecord>;

// Reads the next record's fields; the number of whole fields read
// (kFieldsPerRecord for a complete record).
int ReadRecord(FieldReader& reader, Fields& fields) {
    for (int c = 0; c < kFieldsPerRecord; ++c) {
        const auto field = reader.Next();
        if (!field || !field->complete) return c;
        fields[c] = field->text;
    }
    return kFieldsPerRecord;
}

void AddRecord(store::RecordSet& records, const Fields& fields, store::Row& row) {
    for (int c = 0; c < kFieldsPerRecord; ++c) row[c].assign(fields[c]);
    records.AddNew(row);
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

void AddRecords(std::string_view text, store::RecordSet& records, base::Prompter& prompter,
                base::BusyScope& busy, AppendRun& run) {
    FieldReader reader(text);
    ProjectNumberIndex index(records.ColumnValues(store::kNumberColumn));
    Fields fields;
    store::Row row(kFieldsPerRecord);
    long done = 0;
    while (!reader.AtEnd()) {
        // The file was checked to hold whole records only.
        if (ReadRecord(reader, fields) < kFieldsPerRecord) break;
        const std::string_view number = fields[kNumberField];
        const double value = base::NumericValue(number);
        if (const auto match = index.Find(value)) {
            ++run.result.skipped;
            run.last_match = *match;
            CompareDuplicate(records, *match, fields, run);
            if (!run.silenced && !run.compare_only)
                run.silenced =
                    prompter.ShowRepeated({std::string(store::kProgramTitle),
                                           std::string(number) + std::string(kNumberExists)});
        } else if (!run.compare_only) {
            AddRecord(records, fields, row);
            index.Add(value, records.Count());
            ++run.result.added;
            run.last_match = 0;
        }
        if (++done % 256 == 0)
            busy.Progress(static_cast<long>(reader.offset()), static_cast<long>(text.size()));
    }
}

AppendResult Fail(base::Prompter& prompter, const std::string& text) {
    base::Inform(prompter, store::kProgramTitle, text);
    AppendResult result;
    result.outcome = Outcome::Failed;
    return result;
}

// The file's text, or nullopt after telling the user why it is refused.
std::optional<std::string> ReadChecked(const std::filesystem::path& file,
                                       base::Prompter& prompter) {
    try {
        std::string text = ReadExchangeText(file);
        CheckLooksLikeRecords(text, file);
        CheckWholeRecords(text, file);
        return text;
    } catch (const NotExchangeFile& refused) {
        Fail(prompter, std::string(kAppendRefused) + refused.what());
    } catch (const base::Failure& failure) {
        Fail(prompter, failure.what());
    } catch (const std::bad_alloc&) {
        Fail(prompter, std::string(kAppendRefused) + base::QuotedFileName(file) +
                           "太大，内存不足，无法读取。");
    }
    return std::nullopt;
}

}  // namespace

AppendResult AppendProjects(store::RecordSet& records, base::Prompter& prompter,
                            const std::filesystem::path& program_dir) {
    const auto file = prompter.ChooseOpenFile(
        {std::string(kAppendTitle), std::string(kAppendFilter), program_dir});
    if (!file || file->empty()) {
        prompter.Show({std::string(kAppendTitle), std::string(kNoAppendFile), base::Icon::Question,
                       base::Buttons::YesNo});
        return {Outcome::Cancelled};
    }
    base::BusyScope busy(prompter, kAppendTitle);
    const auto text = ReadChecked(*file, prompter);
    if (!text) return {Outcome::Failed};
    AppendRun run;
    try {
        // Writes a pending change of the current record before the run.
        if (records.Count() > 0) records.MoveFirst();
    } catch (const base::Failure& failure) {
        return Fail(prompter, std::string(kAppendFailed) + "\n" + failure.what());
    }
    if (!store::BackUpBefore(records, prompter, store::operation::kAppend))
        return {Outcome::Failed};
    try {
        store::OperationLabel label(records, store::operation::kAppend);
        store::Transaction transaction(records.database());
        AddRecords(*text, records, prompter, busy, run);
        transaction.Commit();
    } catch (const base::Failure& failure) {
        records.Reopen();  // the rolled-back rows must leave the set too
        return Fail(prompter, std::string(kAppendFailed) + "\n" + failure.what() +
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
    const auto text = ReadChecked(file, prompter);
    if (!text) return {Outcome::Failed};
    AppendRun run;
    run.compare_only = true;
    try {
        if (records.HasPendingChange()) records.WriteBack();
        AddRecords(*text, records, prompter, busy, run);
    } catch (const base::Failure& failure) {
        return Fail(prompter, std::string(kAppendFailed) + "\n" + failure.what());
    }
    return run.result;
}

}  // namespace zorbix::exchange

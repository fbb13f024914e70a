// Submitting the current record or every record into one exchange file.
#include "base/atomic_file.h"
#include "base/error.h"
#include "base/message_text.h"
#include "exchange/exchange_messages.h"
#include "exchange/exchange_operations.h"
#include "exchange/exchange_writer.h"
#include "store/record_walk.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::exchange {
namespace {

using base::Prompter;

// The save dialog as the survey sets it up; nullopt after the question
// about the missing name.
std::optional<std::filesystem::path> ChooseSubmitFile(base::Prompter& prompter,
                                                      const std::filesystem::path& program_dir) {
    const auto file = prompter.ChooseSaveFile(
        {std::string(kSubmitTitle), std::string(kSubmitFilter), program_dir});
    if (file && !file->empty()) return file;
    prompter.Show({std::string(kSubmitTitle), std::string(kNoSubmitFile), base::Icon::Question,
                   base::Buttons::YesNo});
    return std::nullopt;
}

Outcome Failed(base::Prompter& prompter, const base::Failure& failure) {
    base::Inform(prompter, store::kProgramTitle,
                 base::MessageText(kSubmitFailed, {store::kRetryHint, failure.what()}));
    return Outcome::Failed;
}

std::string Submitted(const std::filesystem::path& file) {
    return base::MessageText(kSubmitted, {file.string()});
}

}  // namespace

Outcome SubmitCurrentProject(store::RecordSet& records, base::Prompter& prompter,
                             const std::filesystem::path& program_dir) {
    const auto file = ChooseSubmitFile(prompter, program_dir);
    if (!file) return Outcome::Cancelled;
    try {
        if (!records.HasCurrent()) throw base::Failure(std::string(kNoCurrentProject));
        base::WriteFileAtomically(*file, RecordBytes(records.Current(), kSubmitPlaceholder));
    } catch (const base::Failure& failure) {
        return Failed(prompter, failure);
    }
    base::Inform(prompter, store::kSavedFileTitle, Submitted(*file));
    return Outcome::Done;
}

Outcome SubmitAllProjects(store::RecordSet& records, base::Prompter& prompter,
                          const std::filesystem::path& program_dir) {
    const auto file = ChooseSubmitFile(prompter, program_dir);
    if (!file) return Outcome::Cancelled;
    base::BusyScope busy(prompter, kSubmitTitle);
    try {
        if (records.Count() == 0) throw base::Failure(std::string(kEmptyStore));
        RecordsWriter writer(kSubmitPlaceholder);
        const auto walked = store::WalkAllRecords(
            records, {&busy}, [&writer](const store::Record& record) { writer.Add(record); });
        if (!walked) return walked;
        base::WriteFileAtomically(*file, writer.Finish());
    } catch (const base::Failure& failure) {
        return Failed(prompter, failure);
    }
    base::Inform(prompter, store::kProgramTitle, Submitted(*file));
    return Outcome::Done;
}

}  // namespace zorbix::exchange

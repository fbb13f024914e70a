// Submitting the current record or every record into one exchange file.
#include "exchange/exchange_messages.h"
#include "exchange/exchange_operations.h"
#include "exchange/exchange_writer.h"
#include "store/atomic_file.h"
#include "store/error.h"

namespace zorbix::exchange {
namespace {

using store::Prompter;

// The save dialog as the survey sets it up; nullopt after the question
// about the missing name.
std::optional<std::filesystem::path> ChooseSubmitFile(Prompter& prompter,
                                                      const std::filesystem::path& program_dir) {
    const auto file = prompter.ChooseSaveFile(
        {std::string(kSubmitTitle), std::string(kSubmitFilter), program_dir});
    if (file && !file->empty()) return file;
    prompter.Show({std::string(kSubmitTitle), std::string(kNoSubmitFile), store::Icon::Question,
                   store::Buttons::YesNo});
    return std::nullopt;
}

Outcome Failed(Prompter& prompter, const store::Failure& failure) {
    store::Inform(prompter, store::kProgramTitle,
                  std::string(kSubmitFailed) + "\n" + failure.what());
    return Outcome::Failed;
}

std::string Submitted(const std::filesystem::path& file) {
    return std::string(kSubmitted) + file.string() + "中。";
}

}  // namespace

Outcome SubmitCurrentProject(store::RecordSet& records, Prompter& prompter,
                             const std::filesystem::path& program_dir) {
    const auto file = ChooseSubmitFile(prompter, program_dir);
    if (!file) return Outcome::Cancelled;
    try {
        if (!records.HasCurrent()) throw store::Failure(std::string(kNoCurrentProject));
        store::WriteFileAtomically(*file, RecordBytes(records.Current(), kSubmitPlaceholder));
    } catch (const store::Failure& failure) {
        return Failed(prompter, failure);
    }
    store::Inform(prompter, store::kSavedFileTitle, Submitted(*file));
    return Outcome::Done;
}

Outcome SubmitAllProjects(store::RecordSet& records, Prompter& prompter,
                          const std::filesystem::path& program_dir) {
    const auto file = ChooseSubmitFile(prompter, program_dir);
    if (!file) return Outcome::Cancelled;
    store::BusyScope busy(prompter, kSubmitTitle);
    try {
        if (records.Count() == 0) throw store::Failure(std::string(kEmptyStore));
        const long total = records.Count();
        RecordsWriter writer(kSubmitPlaceholder);
        long done = 0;
        for (records.MoveFirst(); !records.AtEnd(); records.MoveNext()) {
            writer.Add(records.Current());
            if (++done % 512 == 0) busy.Progress(done, total);
        }
        busy.Progress(total, total);
        store::WriteFileAtomically(*file, writer.Finish());
    } catch (const store::Failure& failure) {
        return Failed(prompter, failure);
    }
    store::Inform(prompter, store::kProgramTitle, Submitted(*file));
    return Outcome::Done;
}

}  // namespace zorbix::exchange

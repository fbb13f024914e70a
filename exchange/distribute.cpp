// Distributing: one exchange file per record, named after its project number.
#include "base/background_writer.h"
#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "exchange/exchange_messages.h"
#include "exchange/exchange_operations.h"
#include "exchange/exchange_writer.h"
#include "store/catalogue.h"
#include "store/record_walk.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::exchange {

DistributeResult DistributeProjects(store::RecordSet& records, base::Prompter& prompter,
                                    const std::filesystem::path& output_dir) {
    DistributeResult result;
    base::BusyScope busy(prompter, "项目下发");
    bool silenced = false;
    // The files are written on a thread of their own while the next ones are
    // made, synced together and put in place at the end of the run.
    base::BackgroundWriter writer;
    try {
        if (records.Count() == 0) throw base::Failure(std::string(kEmptyStore));
        result.outcome = store::WalkAllRecords(records, {&busy}, [&](const store::Record& record) {
            const std::string number(record[store::kNumberColumn]);
            if (const auto problem = base::ProjectFileNameProblem(number)) {
                ++result.refused;
                if (!silenced)
                    silenced = prompter.ShowRepeated({std::string(store::kProgramTitle), *problem});
                return;
            }
            std::string bytes;
            try {
                bytes = RecordBytes(record, kDistributePlaceholder);
            } catch (const FaultyValue& fault) {
                // Left out like a number that cannot name a file.
                ++result.refused;
                if (!silenced)
                    silenced =
                        prompter.ShowRepeated({std::string(store::kProgramTitle), fault.what()});
                return;
            }
            writer.Write(output_dir / (number + ".kj"), std::move(bytes));
            ++result.written;
        });
        writer.Finish();
        if (!result.outcome) return result;
    } catch (const base::Failure& failure) {
        base::Inform(prompter, store::kProgramTitle,
                     base::MessageText(kSubmitFailed, {store::kRetryHint, failure.what()}));
        result.outcome = Outcome::Failed;
        return result;
    }
    base::Inform(prompter, store::kSavedFileTitle, kDistributed);
    if (result.refused > 0) result.outcome = Outcome::Refused;
    return result;
}

}  // namespace zorbix::exchange

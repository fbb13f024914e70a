#include "summary/summary_run.h"

#include "base/durable_batch.h"
#include "base/error.h"
#include "base/message_text.h"
#include "store/titles.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_grids.h"
#include "summary/summary_messages.h"
#include "summary/summary_workbook.h"

namespace zorbix::summary {
namespace {

void ShowEnd(base::Prompter& prompter, const SummaryRunResult& result) {
    std::string text(kSummaryDone);
    if (!result.Complete()) {
        text = kSummaryIncomplete;
        for (const std::string& name : result.failed) text += "\n" + name;
    }
    base::Inform(prompter, store::kRunEndTitle, text, base::Icon::Exclamation);
}

void ShowFailure(base::Prompter& prompter, const std::string& workbook, const std::string& why) {
    base::Inform(prompter, store::kRunEndTitle,
                 base::MessageText(kWorkbookNotWritten, {workbook, why}), base::Icon::Exclamation);
}

}  // namespace

SummaryRunResult RunAllSummaries(store::RecordSet& records, base::Prompter& prompter,
                                 const std::filesystem::path& program_dir) {
    SummaryRunResult result;
    base::BusyScope busy(prompter, kSummaryBusy);
    std::vector<SummaryGrid> grids;
    try {
        grids = ComputeSummaryGrids(records, &busy);
    } catch (const std::exception& e) {
        base::Inform(prompter, store::kRunEndTitle, base::MessageText(kReadFailed, {e.what()}),
                     base::Icon::Exclamation);
        for (const SummaryDefinition& s : Summaries()) result.failed.push_back(OutputFileName(s));
        result.outcome = base::Outcome::Failed;
        ShowEnd(prompter, result);
        return result;
    }
    const auto summaries = Summaries();
    // Each workbook is synced before its rename, the folder once for the run.
    base::DurableBatch durable;
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        const std::string output = OutputFileName(summaries[i]);
        try {
            WriteSummaryWorkbook(program_dir, summaries[i], grids[i]);
            result.written.push_back(output);
        } catch (const std::exception& e) {
            result.failed.push_back(output);
            result.outcome = base::Outcome::Failed;
            ShowFailure(prompter, output, e.what());
        }
        busy.Progress(records.Count() + static_cast<long>(i + 1) * kWorkbookWeight,
                      SummaryRunSteps(records));
    }
    durable.Finish();
    ShowEnd(prompter, result);
    return result;
}

}  // namespace zorbix::summary

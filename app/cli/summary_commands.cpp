// Batch commands of the summary subsystem.
#include "app/cli/command.h"
#include "summary/summary_run.h"

namespace zorbix::cli {

// summarize: the twelve workbooks into the program directory, from the
// templates lying there.
int SummarizeCommand(Context& ctx) {
    ctx.NoMoreArguments();
    const auto result =
        summary::RunAllSummaries(ctx.store.records(), ctx.prompter, ctx.store.directory());
    return ExitStatus(result.outcome);
}

}  // namespace zorbix::cli

// Batch commands of the reconcile subsystem.
#include <ostream>
#include <string>

#include "app/cli/command.h"
#include "lists/results_workbook.h"
#include "reconcile/plan_reconciliation.h"

namespace zorbix::cli {

// Prints the reconciliation's panel text, each CR LF as one LF; --save FILE
// also saves it as "保存结果" does (a workbook for FILE.xlsx).
int ReconcileCommand(Context& ctx) {
    const auto save = ctx.TakeOption("--save");
    ctx.NoMoreArguments();
    if (save && save->empty()) throw UsageError("--save 后面缺少文件名。");
    const auto result =
        reconcile::ReconcileWithPlan(ctx.store.records(), ctx.prompter, ctx.store.directory());
    if (!result) return ExitStatus(result.outcome);
    const std::string* text = &result.panel;
    std::string out;
    out.reserve(text->size());
    for (std::size_t i = 0; i < text->size(); ++i) {
        if ((*text)[i] == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n') continue;
        out += (*text)[i];
    }
    ctx.out << out;
    ctx.out.flush();
    if (!save) return ExitStatus(base::Outcome::Done);
    return ExitStatus(lists::SaveResultsTo(ctx.store.records(), ctx.prompter, result.panel,
                                           ctx.store.directory(), *save, {}));
}

}  // namespace zorbix::cli

// Batch commands of the reconcile subsystem.
#include <ostream>
#include <string>

#include "app/cli/command.h"
#include "reconcile/plan_reconciliation.h"

namespace zorbix::cli {

// Prints the reconciliation's panel text, each CR LF as one LF.
int ReconcileCommand(Context& ctx) {
    ctx.NoMoreArguments();
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
    return ExitStatus(base::Outcome::Done);
}

}  // namespace zorbix::cli

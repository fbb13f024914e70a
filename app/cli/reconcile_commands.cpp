// Batch commands of the reconcile subsystem.
#include "app/cli/command.h"

namespace zorbix::cli {

int ReconcileCommand(Context& ctx) {
    store::Inform(ctx.prompter, store::kProgramTitle, "这一命令尚未提供。");
    return kRefused;
}

}  // namespace zorbix::cli

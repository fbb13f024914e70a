// Batch commands of the exchange subsystem.
#include "app/cli/command.h"

namespace zorbix::cli {

int AppendCommand(Context& ctx) {
    store::Inform(ctx.prompter, store::kProgramTitle, "这一命令尚未提供。");
    return kRefused;
}

int SubmitCommand(Context& ctx) {
    store::Inform(ctx.prompter, store::kProgramTitle, "这一命令尚未提供。");
    return kRefused;
}

int DistributeCommand(Context& ctx) {
    store::Inform(ctx.prompter, store::kProgramTitle, "这一命令尚未提供。");
    return kRefused;
}

}  // namespace zorbix::cli

// Batch commands of the summary subsystem.
#include "app/cli/command.h"

namespace zorbix::cli {

int SummarizeCommand(Context& ctx) {
    store::Inform(ctx.prompter, store::kProgramTitle, "这一命令尚未提供。");
    return kRefused;
}

}  // namespace zorbix::cli

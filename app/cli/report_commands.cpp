// Batch commands of the report subsystem.
#include "app/cli/command.h"

namespace zorbix::cli {

int ReportCommand(Context& ctx) {
    store::Inform(ctx.prompter, store::kProgramTitle, "这一命令尚未提供。");
    return kRefused;
}

int PrintCommand(Context& ctx) {
    store::Inform(ctx.prompter, store::kProgramTitle, "这一命令尚未提供。");
    return kRefused;
}

}  // namespace zorbix::cli

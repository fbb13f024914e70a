// Batch commands of the report subsystem: report and print.
#include "app/cli/command.h"
#include "report/project_report.h"
#include "report/report_printing.h"

namespace zorbix::cli {

int ReportCommand(Context& ctx) {
    const auto number = ctx.TakeOption("--project");
    ctx.NoMoreArguments();
    auto& records = ctx.store.records();
    const auto& dir = ctx.store.directory();
    if (!number) return report::CommandReports(records, ctx.prompter, dir) ? kDone : kRefused;
    if (!ctx.LocateRequested(number)) return kRefused;
    return report::CommandReport(records, ctx.prompter, dir) ? kDone : kRefused;
}

int PrintCommand(Context& ctx) {
    const auto number = ctx.TakeOption("--project");
    ctx.NoMoreArguments();
    if (!number) throw UsageError("print 需要 --project 项目编号。");
    if (!ctx.LocateRequested(number)) return kRefused;
    return report::CommandPrint(ctx.store.records(), ctx.prompter, ctx.store.directory())
               ? kDone
               : kRefused;
}

}  // namespace zorbix::cli

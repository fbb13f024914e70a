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
    if (!number) return ExitStatus(report::CommandReports(records, ctx.prompter, dir));
    if (const auto located = ctx.LocateRequested(number); !located) return ExitStatus(located);
    return ExitStatus(report::CommandReport(records, ctx.prompter, dir));
}

int PrintCommand(Context& ctx) {
    const auto number = ctx.TakeOption("--project");
    ctx.NoMoreArguments();
    if (!number) throw UsageError("print 需要 --project 项目编号。");
    if (const auto located = ctx.LocateRequested(number); !located) return ExitStatus(located);
    return ExitStatus(
        report::CommandPrint(ctx.store.records(), ctx.prompter, ctx.store.directory()));
}

}  // namespace zorbix::cli

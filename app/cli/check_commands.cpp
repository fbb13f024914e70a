// Batch commands of the check subsystem: "数据审核" / "项目审核" into the
// panel text on standard output, and "保存结果" with --save (a text file, or
// a workbook for FILE.xlsx).
#include <ostream>

#include "app/cli/command.h"
#include "check/check_report_file.h"
#include "check/check_runs.h"
#include "lists/results_workbook.h"

namespace zorbix::cli {
namespace {

// The panel's CR LF line ends as the single LF of standard output.
void PrintPanel(std::ostream& out, const std::string& panel) {
    for (std::size_t i = 0; i < panel.size(); ++i) {
        if (panel[i] == '\r' && i + 1 < panel.size() && panel[i + 1] == '\n') continue;
        out << panel[i];
    }
}

}  // namespace

// check [--project NUMBER] [--save FILE]
int CheckCommand(Context& ctx) {
    const auto project = ctx.TakeOption("--project");
    const auto save = ctx.TakeOption("--save");
    ctx.NoMoreArguments();
    if (save && save->empty()) throw UsageError("--save 后面缺少文件名。");
    if (const auto located = ctx.LocateRequested(project); !located) return ExitStatus(located);

    auto& records = ctx.store.records();
    std::string panel;
    std::vector<check::Finding> findings;
    const base::Outcome ran =
        project ? check::CheckCurrentProject(records, ctx.prompter, panel, &findings)
                : check::CheckAllProjects(records, ctx.prompter, panel, &findings);
    PrintPanel(ctx.out, panel);
    ctx.out.flush();
    if (!ran || !save) return ExitStatus(ran);
    // FILE.xlsx: the findings as a sheet; any other name: the GBK text file.
    return ExitStatus(
        lists::SaveResultsTo(records, ctx.prompter, panel, ctx.store.directory(), *save, findings));
}

}  // namespace zorbix::cli

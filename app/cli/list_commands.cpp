// Batch commands of the project lists: export and import of a workbook or
// CSV file in the layout of the project table.
#include <filesystem>
#include <ostream>

#include "app/cli/command.h"
#include "lists/list_files.h"
#include "lists/project_list_export.h"
#include "lists/project_list_import.h"

namespace zorbix::cli {
namespace {

// The one file argument, with the extension that tells its format.
std::filesystem::path ListFileArgument(Context& ctx) {
    if (ctx.args.size() != 1 || ctx.args.front().empty()) throw UsageError("需要一个文件名。");
    const std::filesystem::path file = ctx.args.front();
    if (!lists::ListFormatOf(file)) throw UsageError(std::string(lists::kBadListName));
    return file;
}

// The panel's CR LF line ends as the single LF of standard output.
void PrintPanel(std::ostream& out, const std::string& panel) {
    for (std::size_t i = 0; i < panel.size(); ++i) {
        if (panel[i] == '\r' && i + 1 < panel.size() && panel[i + 1] == '\n') continue;
        out << panel[i];
    }
}

}  // namespace

int ExportCommand(Context& ctx) {
    const auto file = ListFileArgument(ctx);
    return ExitStatus(lists::ExportProjectListTo(ctx.store.records(), ctx.prompter, file));
}

// Prints the findings of the imported projects, as the window shows them.
int ImportCommand(Context& ctx) {
    const auto file = ListFileArgument(ctx);
    const auto result = lists::ImportProjectListFrom(ctx.store.records(), ctx.prompter, file);
    if (result.outcome.IsDone()) PrintPanel(ctx.out, result.panel);
    return ExitStatus(result.outcome);
}

}  // namespace zorbix::cli

// Batch commands of the project lists: export and import of a workbook or
// CSV file in the layout of the project table.
#include <filesystem>
#include <ostream>

#include "app/cli/command.h"
#include "lists/list_files.h"
#include "lists/project_list_export.h"

namespace zorbix::cli {
namespace {

// The one file argument, with the extension that tells its format.
std::filesystem::path ListFileArgument(Context& ctx) {
    if (ctx.args.size() != 1 || ctx.args.front().empty()) throw UsageError("需要一个文件名。");
    const std::filesystem::path file = ctx.args.front();
    if (!lists::ListFormatOf(file)) throw UsageError(std::string(lists::kBadListName));
    return file;
}

}  // namespace

int ExportCommand(Context& ctx) {
    const auto file = ListFileArgument(ctx);
    return ExitStatus(lists::ExportProjectListTo(ctx.store.records(), ctx.prompter, file));
}

}  // namespace zorbix::cli

// Batch commands of the exchange subsystem: submit, distribute and append,
// each the window's operation with the file names taken from the arguments.
#include <filesystem>

#include "app/cli/command.h"
#include "exchange/exchange_operations.h"

namespace zorbix::cli {
namespace {

std::filesystem::path FileArgument(const std::string& text) {
    if (text.empty()) throw UsageError("文件名不能为空。");
    return text;
}

}  // namespace

int AppendCommand(Context& ctx) {
    if (ctx.args.empty()) throw UsageError("append 需要至少一个文件。");
    std::vector<std::filesystem::path> files;
    for (const auto& arg : ctx.args) files.push_back(FileArgument(arg));
    // Every file is appended; the run is done only when each one was.
    base::Outcome outcome = base::Outcome::Done;
    for (const auto& file : files) {
        ctx.prompter.QueueFile(file);
        const auto result =
            exchange::AppendProjects(ctx.store.records(), ctx.prompter, ctx.store.directory());
        if (!result.outcome) outcome = result.outcome;
    }
    return ExitStatus(outcome);
}

int SubmitCommand(Context& ctx) {
    const auto project = ctx.TakeOption("--project");
    if (ctx.args.size() != 1) throw UsageError("submit 需要一个文件名。");
    const auto file = FileArgument(ctx.args.front());
    if (const auto located = ctx.LocateRequested(project); !located) return ExitStatus(located);
    ctx.prompter.QueueFile(file);
    auto& records = ctx.store.records();
    const auto outcome =
        project ? exchange::SubmitCurrentProject(records, ctx.prompter, ctx.store.directory())
                : exchange::SubmitAllProjects(records, ctx.prompter, ctx.store.directory());
    return ExitStatus(outcome);
}

int DistributeCommand(Context& ctx) {
    if (ctx.args.size() > 1) throw UsageError("distribute 最多需要一个输出目录。");
    const std::filesystem::path dir =
        ctx.args.empty() ? std::filesystem::current_path() : FileArgument(ctx.args.front());
    return ExitStatus(exchange::DistributeProjects(ctx.store.records(), ctx.prompter, dir).outcome);
}

}  // namespace zorbix::cli

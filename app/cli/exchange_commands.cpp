// Batch commands of the exchange subsystem: submit, distribute and append,
// each the window's operation with the file names taken from the arguments.
#include <filesystem>
#include <ostream>

#include "app/cli/command.h"
#include "app/cli/escape.h"
#include "exchange/exchange_operations.h"
#include "store/catalogue.h"
#include "store/titles.h"

namespace zorbix::cli {
namespace {

std::filesystem::path FileArgument(const std::string& text) {
    if (text.empty()) throw UsageError("文件名不能为空。");
    return text;
}

// One line per differing column: number, column, stored, incoming.
void PrintDifferences(std::ostream& out, const std::vector<exchange::ResentProject>& projects) {
    for (const auto& p : projects)
        for (int c : p.columns)
            out << Escape(p.number) << '\t' << store::Columns()[c].name << '\t'
                << Escape(p.stored[c]) << '\t' << Escape(p.incoming[c]) << '\n';
}

int CompareFiles(Context& ctx, const std::vector<std::filesystem::path>& files) {
    base::Outcome outcome = base::Outcome::Done;
    for (const auto& file : files) {
        const auto result = exchange::CompareWithStore(ctx.store.records(), ctx.prompter, file);
        if (!result.outcome) outcome = result.outcome;
        PrintDifferences(ctx.out, result.differing);
        if (const auto summary = exchange::ResentSummary(result.identical, result.differing);
            !summary.empty())
            base::Inform(ctx.prompter, store::kProgramTitle, summary);
    }
    return ExitStatus(outcome);
}

}  // namespace

int AppendCommand(Context& ctx) {
    const bool diff = ctx.TakeFlag("--diff");
    const bool replace = ctx.TakeFlag("--replace");
    if (diff && replace) throw UsageError("--diff 与 --replace 不能同时使用。");
    if (ctx.args.empty()) throw UsageError("append 需要至少一个文件。");
    std::vector<std::filesystem::path> files;
    for (const auto& arg : ctx.args) files.push_back(FileArgument(arg));
    if (diff) return CompareFiles(ctx, files);
    if (replace &&
        !base::Confirm(ctx.prompter, store::kProgramTitle,
                       "追加之后，库中与文件不同的已有项目将被文件中的数据替换，确认吗？"))
        return ExitStatus(base::Outcome::Cancelled);
    // Every file is appended; the run is done only when each one was.
    base::Outcome outcome = base::Outcome::Done;
    for (const auto& file : files) {
        ctx.prompter.QueueFile(file);
        const auto result =
            exchange::AppendProjects(ctx.store.records(), ctx.prompter, ctx.store.directory());
        if (!result.outcome) outcome = result.outcome;
        if (replace && !result.differing.empty()) {
            const auto replaced = exchange::ReplaceResentProjects(ctx.store.records(), ctx.prompter,
                                                                  result.differing);
            if (!replaced) outcome = replaced;
        }
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

// Batch commands of the safety nets: backups, backup, restore and history.
#include <iostream>
#include <ostream>

#include "app/cli/command.h"
#include "app/cli/escape.h"
#include "store/backup_operations.h"
#include "store/backups.h"

namespace zorbix::cli {

namespace {

void PrintBackups(const std::filesystem::path& folder, std::ostream& out) {
    for (const auto& b : store::WithProjectCounts(store::ListBackups(folder)))
        out << Escape(b.name) << '\t' << b.time << '\t' << Escape(b.operation) << '\t'
            << (b.projects < 0 ? std::string("已损坏") : std::to_string(b.projects)) << '\n';
}

std::string RestoreName(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError("restore 需要一个备份文件名（见 backups）。");
    return args.front();
}

}  // namespace

int BackupsCommand(Context& ctx) {
    ctx.NoMoreArguments();
    PrintBackups(store::BackupFolder(ctx.store.database()), ctx.out);
    return ExitStatus(base::Outcome::Done);
}

int RunWithoutStore(const Command& command, const std::filesystem::path& directory,
                    CliPrompter& prompter, const std::vector<std::string>& args) {
    if (command.run == BackupsCommand) {
        if (!args.empty()) throw UsageError("多余的参数：" + args.front());
        PrintBackups(directory / store::kBackupFolderName, std::cout);
        return ExitStatus(base::Outcome::Done);
    }
    return ExitStatus(store::RestoreDamagedStore(directory, prompter, RestoreName(args)));
}

int BackupCommand(Context& ctx) {
    ctx.NoMoreArguments();
    return ExitStatus(store::BackUpNow(ctx.store.records(), ctx.prompter));
}

int RestoreCommand(Context& ctx) {
    return ExitStatus(
        store::RestoreBackup(ctx.store.records(), ctx.prompter, RestoreName(ctx.args)));
}

int HistoryCommand(Context& ctx) {
    if (ctx.args.size() != 1) throw UsageError("history 需要一个项目编号。");
    for (const auto& line : ctx.store.records().history().ForProject(ctx.args.front()))
        ctx.out << line.time << '\t' << Escape(line.operation) << '\t' << line.column << '\t'
                << Escape(line.old_value) << '\t' << Escape(line.new_value) << '\n';
    return ExitStatus(base::Outcome::Done);
}

}  // namespace zorbix::cli

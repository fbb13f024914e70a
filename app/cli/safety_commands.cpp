// Batch commands of the safety nets: backups, backup, restore and history.
#include <ostream>

#include "app/cli/command.h"
#include "app/cli/escape.h"
#include "store/backup_operations.h"
#include "store/backups.h"

namespace zorbix::cli {

int BackupsCommand(Context& ctx) {
    ctx.NoMoreArguments();
    const auto folder = store::BackupFolder(ctx.store.database());
    for (const auto& b : store::WithProjectCounts(store::ListBackups(folder)))
        ctx.out << Escape(b.name) << '\t' << b.time << '\t' << Escape(b.operation) << '\t'
                << (b.projects < 0 ? std::string("已损坏") : std::to_string(b.projects)) << '\n';
    return ExitStatus(base::Outcome::Done);
}

int BackupCommand(Context& ctx) {
    ctx.NoMoreArguments();
    return ExitStatus(store::BackUpNow(ctx.store.records(), ctx.prompter));
}

int RestoreCommand(Context& ctx) {
    if (ctx.args.size() != 1) throw UsageError("restore 需要一个备份文件名（见 backups）。");
    return ExitStatus(store::RestoreBackup(ctx.store.records(), ctx.prompter, ctx.args.front()));
}

int HistoryCommand(Context& ctx) {
    if (ctx.args.size() != 1) throw UsageError("history 需要一个项目编号。");
    for (const auto& line : ctx.store.records().history().ForProject(ctx.args.front()))
        ctx.out << line.time << '\t' << Escape(line.operation) << '\t' << line.column << '\t'
                << Escape(line.old_value) << '\t' << Escape(line.new_value) << '\n';
    return ExitStatus(base::Outcome::Done);
}

}  // namespace zorbix::cli

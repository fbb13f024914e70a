#include "store/backup_operations.h"

#include "store/backups.h"
#include "store/project_table.h"
#include "store/titles.h"

namespace zorbix::store {
namespace {

constexpr std::string_view kBackupTitle = "备份与恢复";

void Tell(base::Prompter& p, std::string_view text, base::Icon icon = base::Icon::Information) {
    base::Inform(p, kBackupTitle, text, icon);
}

// The rows of the backup replace those of the store; the history lines of
// both sides go into the same transaction.
void CopyIn(RecordSet& records, const std::filesystem::path& file) {
    Database& db = records.database();
    if (records.HasPendingChange()) records.WriteBack();
    {
        Statement attach(db, "ATTACH ?1 AS backup_source");
        attach.Bind(1, file.string());
        attach.Run();
    }
    try {
        OperationLabel label(records, operation::kRestore);
        Transaction transaction(db);
        records.history().LogAllRemoved(operation::kRestore);
        db.Execute("DELETE FROM main.kjxmzxqk");
        db.Execute("INSERT INTO main.kjxmzxqk (rowid," + ColumnList() + ") SELECT rowid," +
                   ColumnList() + " FROM backup_source.kjxmzxqk");
        records.history().LogAllAdded(operation::kRestore);
        transaction.Commit();
    } catch (...) {
        db.Execute("DETACH backup_source");
        throw;
    }
    db.Execute("DETACH backup_source");
}

}  // namespace

OneBackupPerRun::OneBackupPerRun(RecordSet& records) : records_(records) {
    if (records_.backup_run().depth++ == 0) records_.backup_run().made = false;
}

OneBackupPerRun::~OneBackupPerRun() { --records_.backup_run().depth; }

bool BackUpBefore(RecordSet& records, base::Prompter& prompter, std::string_view operation) {
    auto& run = records.backup_run();
    if (run.depth > 0 && run.made) return true;
    try {
        MakeBackup(records.database(), operation);
        run.made = true;
        return true;
    } catch (const base::Failure& failure) {
        Tell(prompter,
             std::string(failure.what()) + "。为了能够恢复数据，" + std::string(operation) +
                 "没有进行，数据没有改动。",
             base::Icon::Critical);
        return false;
    }
}

base::Outcome BackUpNow(RecordSet& records, base::Prompter& prompter) {
    try {
        if (records.HasPendingChange()) records.WriteBack();
        const auto file = MakeBackup(records.database(), "备份");
        if (file)
            Tell(prompter, "数据已备份到文件“" + file->string() + "”。");
        else
            Tell(prompter, "数据与最近的备份相同，没有再次备份。");
        return base::Outcome::Done;
    } catch (const base::Failure& failure) {
        Tell(prompter, std::string(failure.what()) + "。", base::Icon::Critical);
        return base::Outcome::Failed;
    }
}

base::Outcome RestoreBackup(RecordSet& records, base::Prompter& prompter, std::string_view name) {
    const std::filesystem::path file = BackupFolder(records.database()) / std::string(name);
    try {
        if (name.empty() || file.filename().string() != name || name == "..")
            throw base::Failure("“" + std::string(name) + "”不是备份文件夹中的备份文件名。");
        CheckBackupFile(file);
    } catch (const base::Failure& refused) {
        Tell(prompter, std::string(refused.what()) + "当前的数据没有改动。",
             base::Icon::Exclamation);
        return base::Outcome::Refused;
    }
    if (!base::Confirm(
            prompter, kBackupTitle,
            "确实要用备份“" + std::string(name) +
                "”恢复数据吗？当前的全部项目将被备份中的项目替换（恢复前先备份当前数据）。"))
        return base::Outcome::Cancelled;
    if (!BackUpBefore(records, prompter, operation::kRestore)) return base::Outcome::Failed;
    try {
        CopyIn(records, file);
    } catch (const base::Failure& failure) {
        records.Reopen();
        Tell(prompter, std::string("恢复备份失败！") + failure.what() + "\n当前的数据没有改动。",
             base::Icon::Critical);
        return base::Outcome::Failed;
    }
    records.Reopen();
    Tell(prompter, "已从备份“" + std::string(name) + "”恢复数据，共" +
                       std::to_string(records.Count()) + "个项目。");
    return base::Outcome::Done;
}

}  // namespace zorbix::store

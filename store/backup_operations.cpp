#include "store/backup_operations.h"

#include "store/backup_messages.h"
#include "store/backups.h"
#include "store/chosen_backup.h"
#include "store/damaged_store.h"
#include "store/others_connected.h"
#include "store/project_table.h"
#include "store/restore_copy.h"
#include "store/titles.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

// What a restore says of the backup it made before replacing the store.
std::string AboutBackupBefore(const std::optional<fs::path>& made) {
    if (!made) return "恢复前的数据与最近的备份相同，没有再次备份。";
    return "恢复前的数据已备份为" + QuotedName(*made) + "。";
}

// Replaces a healthy store by the backup's projects. A failure leaves the
// store as it was: the copy is one transaction.
base::Outcome RestoreIntoStore(RecordSet& records, base::Prompter& prompter,
                               const ChosenBackup& chosen, const std::optional<fs::path>& made) {
    std::string mended;
    try {
        mended = CopyBackupIn(records, chosen.copy());
    } catch (const base::Failure& failure) {
        records.Reopen();
        TellOfBackups(prompter,
                      std::string("恢复备份失败！") + failure.what() +
                          "\n当前的数据没有改动，备份" + QuotedName(chosen.original()) +
                          "也没有改动。" + AboutBackupBefore(made),
                      base::Icon::Critical);
        return base::Outcome::Failed;
    }
    records.Reopen();
    TellOfBackups(prompter, "已从备份" + QuotedName(chosen.original()) + "恢复数据，共" +
                                std::to_string(records.Count()) + "个项目。" +
                                AboutBackupBefore(made) + mended);
    return base::Outcome::Done;
}

// Replaces a damaged store by the backup, after keeping the damaged file
// aside under a name that says what it is.
base::Outcome RestoreOverDamage(RecordSet& records, base::Prompter& prompter,
                                const ChosenBackup& chosen) {
    fs::path aside;
    std::string mended;
    try {
        aside = KeepDamagedStoreAside(records.database());
        mended = OverwriteDamagedStore(records, chosen.copy());
    } catch (const base::Failure& failure) {
        records.Reopen();
        TellOfBackups(
            prompter,
            std::string("恢复备份失败！") + failure.what() + "\n备份" +
                QuotedName(chosen.original()) + "没有改动。" +
                (aside.empty() ? std::string() : "损坏的数据库已复制为" + QuotedName(aside) + "。"),
            base::Icon::Critical);
        return base::Outcome::Failed;
    }
    records.Reopen();
    TellOfBackups(prompter, "已从备份" + QuotedName(chosen.original()) + "恢复数据，共" +
                                std::to_string(records.Count()) +
                                "个项目。损坏的数据库已改名保留为" + QuotedName(aside) + "。" +
                                mended);
    return base::Outcome::Done;
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
        TellOfBackups(prompter,
                      std::string(failure.what()) + "。为了能够恢复数据，" +
                          std::string(operation) + "没有进行，数据没有改动。",
                      base::Icon::Critical);
        return false;
    }
}

base::Outcome BackUpNow(RecordSet& records, base::Prompter& prompter) {
    try {
        if (records.HasPendingChange()) records.WriteBack();
        const auto file = MakeBackup(records.database(), "备份");
        if (file)
            TellOfBackups(prompter, "数据已备份到文件“" + file->string() + "”。");
        else
            TellOfBackups(prompter, "数据与最近的备份相同，没有再次备份。");
        return base::Outcome::Done;
    } catch (const base::Failure& failure) {
        TellOfBackups(prompter, std::string(failure.what()) + "。", base::Icon::Critical);
        return base::Outcome::Failed;
    }
}

base::Outcome RestoreBackup(RecordSet& records, base::Prompter& prompter, std::string_view name) {
    const fs::path folder = BackupFolder(records.database());
    std::optional<ChosenBackup> chosen;
    try {
        chosen.emplace(folder, name, records.database().directory());
    } catch (const base::Failure& refused) {
        TellOfBackups(prompter, std::string(refused.what()) + "当前的数据没有改动。",
                      base::Icon::Exclamation);
        return base::Outcome::Refused;
    }
    if (!base::Confirm(
            prompter, kBackupTitle,
            "确实要用备份“" + std::string(name) +
                "”恢复数据吗？当前的全部项目将被备份中的项目替换（恢复前先备份当前数据）。"))
        return base::Outcome::Cancelled;
    if (const auto others = OthersConnectedProblem(records.database(), "恢复备份")) {
        TellOfBackups(prompter, *others, base::Icon::Exclamation);
        return base::Outcome::Refused;
    }
    std::optional<fs::path> made;
    try {
        if (records.HasPendingChange()) records.WriteBack();
        made = MakeBackup(records.database(), operation::kRestore, chosen->original());
    } catch (const StoreDamaged&) {
        return RestoreOverDamage(records, prompter, *chosen);
    } catch (const base::Failure& failure) {
        TellOfBackups(
            prompter,
            std::string(failure.what()) + "。为了能够恢复数据，恢复备份没有进行，数据没有改动。",
            base::Icon::Critical);
        return base::Outcome::Failed;
    }
    return RestoreIntoStore(records, prompter, *chosen, made);
}

}  // namespace zorbix::store

// Restoring a backup over a store file that cannot be opened at all.
#include <optional>

#include "base/instance_lock.h"
#include "store/backup_messages.h"
#include "store/backup_operations.h"
#include "store/chosen_backup.h"
#include "store/damaged_store.h"
#include "store/restore_copy.h"
#include "store/store.h"
#include "store/store_protection.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

void Rename(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (!fs::exists(from, error)) return;
    fs::rename(from, to, error);
    if (error)
        throw base::Failure("无法把“" + from.string() + "”改名为“" + to.string() + "”：" +
                            error.message() + "。");
}

// The damaged file and its journal go aside, the backup's copy takes the
// store's name. Whatever fails puts the damaged file back.
void SwapIn(const fs::path& file, const fs::path& aside, const fs::path& copy) {
    Rename(file, aside);
    try {
        Rename(file.string() + "-wal", aside.string() + "-wal");
        std::error_code ignored;
        fs::remove(file.string() + "-shm", ignored);
        Rename(copy, file);
    } catch (...) {
        std::error_code ignored;
        fs::rename(aside.string() + "-wal", file.string() + "-wal", ignored);
        fs::rename(aside, file, ignored);
        throw;
    }
}

std::string LogRestore(const fs::path& directory) {
    Store store(directory);
    return LogReplacedStore(store.records());
}

}  // namespace

base::Outcome RestoreDamagedStore(const fs::path& directory, base::Prompter& prompter,
                                  std::string_view name) {
    const fs::path file = directory / kDatabaseFileName;
    fs::path aside;
    {
        base::InstanceLock lock(directory);
        std::optional<ChosenBackup> chosen;
        try {
            chosen.emplace(directory / kBackupFolderName, name, directory);
        } catch (const base::Failure& refused) {
            TellOfBackups(prompter, std::string(refused.what()) + "当前的数据没有改动。",
                          base::Icon::Exclamation);
            return base::Outcome::Refused;
        }
        if (!base::Confirm(prompter, kBackupTitle,
                           "确实要用备份“" + std::string(name) +
                               "”恢复数据吗？损坏的数据库文件将改名保留，由备份中的数据代替。"))
            return base::Outcome::Cancelled;
        aside = DamagedStoreName(file);
        try {
            SwapIn(file, aside, chosen->copy());
        } catch (const base::Failure& failure) {
            TellOfBackups(
                prompter,
                std::string("恢复备份失败！") + failure.what() + "\n数据库文件和备份都没有改动。",
                base::Icon::Critical);
            return base::Outcome::Failed;
        }
    }
    std::string mended;
    try {
        mended = LogRestore(directory);
    } catch (const base::Failure& failure) {
        TellOfBackups(prompter,
                      "已从备份“" + std::string(name) + "”恢复数据，损坏的数据库已改名保留为" +
                          QuotedName(aside) + "。但恢复记录没有写入修改记录：" + failure.what(),
                      base::Icon::Exclamation);
        return base::Outcome::Failed;
    }
    TellOfBackups(prompter, "已从备份“" + std::string(name) +
                                "”恢复数据。损坏的数据库已改名保留为" + QuotedName(aside) + "。" +
                                mended);
    return base::Outcome::Done;
}

}  // namespace zorbix::store

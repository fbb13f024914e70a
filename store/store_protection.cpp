#include "store/store_protection.h"

#include "base/protected_targets.h"

namespace zorbix::store {

void ProtectStoreFiles(const std::filesystem::path& directory,
                       const std::filesystem::path& database, const void* store) {
    base::ProtectFile(database, "数据库文件", store);
    // SQLite keeps committed data in these until they are checkpointed:
    // replacing one loses it as surely as replacing the database.
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        base::ProtectFile(database.string() + suffix, "数据库日志文件", store);
    base::ProtectFolder(directory / kBackupFolderName, "备份文件夹中的文件", store);
    base::ProtectExecutablesIn(directory, store);
}

}  // namespace zorbix::store

#include "server/backup_name.h"

#include "store/backups.h"

namespace zorbix::server {

bool LooksLikeBackupName(std::string_view name) {
    if (name.empty() || name.front() == '.') return false;
    for (const unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':') return false;
    return true;
}

bool IsListedBackup(const std::filesystem::path& folder, std::string_view name) {
    if (!LooksLikeBackupName(name)) return false;
    for (const store::BackupFile& backup : store::ListBackups(folder))
        if (backup.name == name) return true;
    return false;
}

}  // namespace zorbix::server

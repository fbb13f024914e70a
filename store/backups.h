// Backups of the store: whole copies of the database file made with
// SQLite's online backup API into the folder "backup" of the program
// directory, one file per backup named after its time and the operation it
// came before ("zorbix2013-20131205-143012-追加数据.db").
//
// Which backup is newest is decided by the order in which the program made
// them (each copy carries its place, store/backup_files.h), not by names or
// the clock: a backup named for a time in the future, or copied in from
// elsewhere, never pushes out the one just made. The newest kBackupsKept
// that are whole stores are kept; a file that is no store is neither
// counted nor removed. A copy identical to the newest one is not kept
// twice, and a copy that fails SQLite's check is never kept at all.
//
// A backup only reads the store (readers never wait for a writer in WAL
// mode) and writes a file of its own, so it neither blocks nor endangers
// anyone who has the store open.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/database.h"
#include "store/store_protection.h"

namespace zorbix::store {

inline constexpr int kBackupsKept = 20;

struct BackupFile {
    std::filesystem::path file;
    std::string name;         // the file name
    std::string time;         // "2013-12-05 14:30:12", from the name
    std::string operation;    // from the name
    int projects = -1;        // -1: the file could not be read as a store
    std::uint32_t order = 0;  // its place in the order of making (store/backup_files.h)
};

// <program dir>/backup for the store database `db`.
std::filesystem::path BackupFolder(const Database& db);

// Copies the store into a new backup named for `operation`. Returns the new
// file, or nullopt when the store is identical to the newest backup (which
// then stands for this one). Throws Failure with the user's message, naming
// the folder and the reason, when the copy cannot be written, and
// StoreDamaged when the copy shows the store is damaged; then no file is
// left behind and older backups are untouched. Once the new one is
// complete, the backups beyond the newest kBackupsKept are removed, except
// `spared` (the backup a restore is about to use).
std::optional<std::filesystem::path> MakeBackup(Database& db, std::string_view operation,
                                                const std::filesystem::path& spared = {});

// The backups in a folder, newest first in the order of making, without
// their project counts. Files whose names do not follow the pattern are not
// backups and are left out.
std::vector<BackupFile> ListBackups(const std::filesystem::path& folder);

// The same list with each file's project count read from it.
std::vector<BackupFile> WithProjectCounts(std::vector<BackupFile> backups);

}  // namespace zorbix::store

// One backup file on its own: opening it without changing it, the order in
// which the program made it, and whether it is a whole store of this
// program. A backup is an SQLite file in rollback-journal mode whose
// user_version holds its place in the order of making (1, 2, 3, … in one
// backup folder); files made by earlier versions of the program hold 0.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

struct sqlite3;

namespace zorbix::store {

// An SQLite connection of one file, closed however the work ends.
class FileConnection {
public:
    FileConnection(const std::string& name, int flags);
    ~FileConnection();
    FileConnection(const FileConnection&) = delete;
    FileConnection& operator=(const FileConnection&) = delete;
    bool ok() const;
    sqlite3* get() const { return db_; }
    std::string Error() const;

private:
    sqlite3* db_ = nullptr;
    int rc_ = 0;
};

// Opens a file for reading without writing anything beside it: a backup is
// never changed by being looked at.
FileConnection OpenUnchanged(const std::filesystem::path& file);

// The place of a backup in the order of making, read from its header; 0 for
// a file made before backups carried it, or one that is no SQLite file.
std::uint32_t MakingOrder(const std::filesystem::path& file);

// True when the file opens as a database with the project table and its
// 137 columns; reads the schema only, so a damaged page further in goes
// unnoticed (CheckBackupFile reads everything).
bool LooksLikeStore(const std::filesystem::path& file);

// The number of projects, or -1 when the file cannot be read as a store.
int ProjectCount(const std::filesystem::path& file);

// True when two backups hold the same store: their bytes are equal apart
// from the header fields that making a backup sets (the order of making and
// SQLite's change counters).
bool SameStore(const std::filesystem::path& a, const std::filesystem::path& b);

// True when every page of the file passes SQLite's quick check.
bool PassesQuickCheck(const std::filesystem::path& file);

// Throws Failure with the user's message, naming `shown` (the backup as the
// user chose it), when `file` is damaged or is not a store of this program.
void CheckBackupFile(const std::filesystem::path& file, const std::filesystem::path& shown);
inline void CheckBackupFile(const std::filesystem::path& file) { CheckBackupFile(file, file); }

}  // namespace zorbix::store

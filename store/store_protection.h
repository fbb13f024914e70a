// The store's files that no output may replace: the database with its
// journal files, the backup folder and the program's executables beside it.
#pragma once

#include <filesystem>

namespace zorbix::store {

inline constexpr const char* kBackupFolderName = "backup";

// Forgets the files of a store opened before and protects those of the
// program directory `directory` (base/protected_targets.h).
void ProtectStoreFiles(const std::filesystem::path& directory,
                       const std::filesystem::path& database);

}  // namespace zorbix::store

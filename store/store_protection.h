// The store's files that no output may replace: the database with its
// journal files, the backup folder and the program's executables beside it.
#pragma once

#include <filesystem>

namespace zorbix::store {

inline constexpr const char* kBackupFolderName = "backup";

// Protects the files of the store of program directory `directory` for as
// long as `store` is open (base/protected_targets.h); ForgetProtectedFiles
// with the same store takes them back.
void ProtectStoreFiles(const std::filesystem::path& directory,
                       const std::filesystem::path& database, const void* store);

}  // namespace zorbix::store

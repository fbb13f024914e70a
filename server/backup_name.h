// The name of a backup as a call's path names it (/api/backups/{name}/…):
// only the name of a backup the store's backup folder lists is taken, so
// no path (a slash, "..", a hidden or absolute name) ever reaches a file
// operation.
#pragma once

#include <filesystem>
#include <string_view>

namespace zorbix::server {

// True when `name` could be a backup's file name at all: not empty, no
// separator, no control character, not starting with a dot.
bool LooksLikeBackupName(std::string_view name);

// True when `name` is the file name of one of the backups in `folder`.
bool IsListedBackup(const std::filesystem::path& folder, std::string_view name);

}  // namespace zorbix::server

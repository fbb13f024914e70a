// What tells whether a file is still the one read before: a file replaced
// (a new inode), rewritten (size or modification time) or removed compares
// unequal, so a cache of its parsed content knows when to read it again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace zorbix::base {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified_ns = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file now; nothing when it cannot be asked.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& file);

// What a path names now, symbolic links followed: which file it is and
// whether it is a regular file someone may run (the program's own
// executables are among the files no output may replace).
struct FileStatus {
    FileIdentity identity;
    bool regular = false;
    bool executable = false;
};

// The status of what the path names now; nothing when it cannot be asked.
std::optional<FileStatus> StatusOf(const std::filesystem::path& path);

}  // namespace zorbix::base

// File identity and status with stat(2). A port replaces this file only.
#include <sys/stat.h>

#include "base/file_identity.h"

namespace zorbix::base {

std::optional<FileStatus> StatusOf(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    FileStatus status;
    status.identity = FileIdentity{
        static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
        static_cast<std::uint64_t>(st.st_size),
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    status.regular = S_ISREG(st.st_mode);
    status.executable = (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
    return status;
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& file) {
    const auto status = StatusOf(file);
    if (!status) return std::nullopt;
    return status->identity;
}

}  // namespace zorbix::base

// Atomic file writing with POSIX calls (fsync, rename). A port replaces
// this file only.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "base/atomic_file.h"
#include "base/error.h"

namespace zorbix::base {
namespace {

std::string Reason() { return std::strerror(errno); }

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& reason) {
    throw Failure("无法写入文件“" + path.string() + "”：" + reason + "。");
}

void SyncDirectory(const std::filesystem::path& path) {
    const auto dir = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    auto name = "." + path.filename().string() + "." + std::to_string(::getpid()) + "." +
                std::to_string(counter++) + ".tmp";
    return path.parent_path() / name;
}

void CommitTemporary(const std::filesystem::path& temporary, const std::filesystem::path& path) {
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = Reason();
        ::unlink(temporary.c_str());
        Fail(path, reason);
    }
    SyncDirectory(path);
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const auto temporary = TemporaryBeside(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail(path, Reason());
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string reason = Reason();
            ::close(fd);
            ::unlink(temporary.c_str());
            Fail(path, reason);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const std::string reason = Reason();
        ::unlink(temporary.c_str());
        Fail(path, reason);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = Reason();
        ::unlink(temporary.c_str());
        Fail(path, reason);
    }
    SyncDirectory(path);
}

}  // namespace zorbix::base

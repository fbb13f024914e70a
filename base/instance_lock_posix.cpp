// The instance lock on POSIX systems: flock(2) on a small file beside the
// database. A port replaces this file only.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/error.h"
#include "base/instance_lock.h"

namespace zorbix::base {
namespace {

std::string Named(const std::filesystem::path& file) { return "锁文件“" + file.string() + "”"; }

// Why the lock file cannot be opened, in words that name it.
[[noreturn]] void FailToOpen(const std::filesystem::path& directory,
                             const std::filesystem::path& file, int error) {
    if (error == EISDIR)
        throw Failure(Named(file) +
                      "是一个文件夹，程序无法用它防止两个本程序同时使用这个目录。"
                      "请删除或移走这个文件夹后再启动程序。");
    throw Failure("无法在程序目录“" + directory.string() + "”中建立" + Named(file) + "：" +
                  std::strerror(error) + "。请检查目录是否存在、是否可写，该文件是否可写。");
}

}  // namespace

InstanceLock::InstanceLock(const std::filesystem::path& directory) {
    const std::filesystem::path file = directory / ".zorbix2013.lock";
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) FailToOpen(directory, file, errno);
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        if (error != EWOULDBLOCK)
            throw Failure(Named(file) + "无法加锁：" + std::strerror(error) +
                          "。程序无法确认没有另一个本程序在使用这个目录。");
        throw Failure("程序目录“" + directory.string() +
                      "”中的数据库正被另一个正在运行的本程序使用。请先关闭那个程序，再重新启动。");
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace zorbix::base

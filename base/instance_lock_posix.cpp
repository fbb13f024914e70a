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

InstanceLock::InstanceLock(const std::filesystem::path& directory) {
    const std::filesystem::path file = directory / ".zorbix2013.lock";
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw Failure("无法在程序目录“" + directory.string() + "”中建立文件：" +
                      std::strerror(errno) + "。请检查目录是否存在、是否可写。");
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
        throw Failure("程序目录“" + directory.string() +
                      "”中的数据库正被另一个正在运行的本程序使用。请先关闭那个程序，再重新启动。");
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace zorbix::base

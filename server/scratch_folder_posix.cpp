#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "base/error.h"
#include "server/api_error.h"
#include "server/scratch_folder.h"

namespace zorbix::server {
namespace {

// Less room than this counts as a full disk: the largest file the server
// makes (the project list of a whole survey) takes a few megabytes.
constexpr unsigned long long kLeastRoom = 8ull << 20;

constexpr std::string_view kPrefix = "zorbix-server-";

std::filesystem::path TemporaryFolder() {
    std::error_code ec;
    const auto temporary = std::filesystem::temp_directory_path(ec);
    return ec ? std::filesystem::path("/tmp") : temporary;
}

// The server that made a scratch folder of that name, 0 for another name.
pid_t MakerOf(const std::string& name) {
    if (!name.starts_with(kPrefix)) return 0;
    const std::string rest = name.substr(kPrefix.size());
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || dash > 9 ||
        rest.find_first_not_of("0123456789") != dash)
        return 0;
    return static_cast<pid_t>(std::stol(rest.substr(0, dash)));
}

// A folder of this account (never a link) whose maker no longer runs.
bool Left(const std::filesystem::path& folder, pid_t maker) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    return maker != ::getpid() && ::kill(maker, 0) != 0 && errno == ESRCH;
}

}  // namespace

void RemoveLeftoverScratchFolders() {
    std::error_code error;
    for (std::filesystem::directory_iterator it(TemporaryFolder(), error), end; !error && it != end;
         it.increment(error)) {
        const pid_t maker = MakerOf(it->path().filename().string());
        std::error_code ignored;
        if (maker > 0 && Left(it->path(), maker)) std::filesystem::remove_all(it->path(), ignored);
    }
}

ScratchFolder::ScratchFolder() {
    // mkdtemp makes the folder readable by its owner only.
    std::string pattern =
        (TemporaryFolder() / (std::string(kPrefix) + std::to_string(::getpid()) + "-XXXXXX"))
            .string();
    if (!::mkdtemp(pattern.data())) {
        if (errno == ENOSPC || errno == EDQUOT)
            throw ApiError(503, "服务器的磁盘空间已满，暂时不能处理这一请求，请与调查办公室联系。");
        throw base::Failure("服务器无法建立临时文件夹，请稍后重试。");
    }
    path_ = pattern;
}

void ScratchFolder::RequireRoom(std::string_view work) const {
    struct statvfs disk {};
    if (::statvfs(path_.c_str(), &disk) != 0) return;  // the work itself will say why
    if (static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize >= kLeastRoom) return;
    throw ApiError(503,
                   "服务器的磁盘空间已满，暂时不能" + std::string(work) + "，请与调查办公室联系。");
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace zorbix::server

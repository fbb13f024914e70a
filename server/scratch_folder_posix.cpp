#include <stdlib.h>
#include <sys/statvfs.h>

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

}  // namespace

ScratchFolder::ScratchFolder() {
    std::error_code ec;
    const auto temporary = std::filesystem::temp_directory_path(ec);
    // mkdtemp makes the folder readable by its owner only.
    std::string pattern =
        ((ec ? std::filesystem::path("/tmp") : temporary) / "zorbix-server-XXXXXX").string();
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

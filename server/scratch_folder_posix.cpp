#include <stdlib.h>

#include <string>
#include <system_error>

#include "base/error.h"
#include "server/scratch_folder.h"

namespace zorbix::server {

ScratchFolder::ScratchFolder() {
    std::error_code ec;
    const auto temporary = std::filesystem::temp_directory_path(ec);
    // mkdtemp makes the folder readable by its owner only.
    std::string pattern =
        ((ec ? std::filesystem::path("/tmp") : temporary) / "zorbix-server-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw base::Failure("服务器无法建立临时文件夹，请稍后重试。");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace zorbix::server

#include "server/upload_file.h"

#include <fstream>

#include "base/error.h"

namespace zorbix::server {

void SaveUpload(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw base::Failure("服务器无法保存上传的文件，请稍后重试。");
}

}  // namespace zorbix::server

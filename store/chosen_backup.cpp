#include "store/chosen_backup.h"

#include "base/atomic_file.h"
#include "base/error.h"
#include "store/backup_files.h"

namespace zorbix::store {

namespace fs = std::filesystem;

ChosenBackup::ChosenBackup(const fs::path& folder, std::string_view name,
                           const fs::path& store_directory)
    : original_(folder / std::string(name)),
      copy_(base::TemporaryName(store_directory / "zorbix2013-恢复.db")) {
    if (name.empty() || original_.filename().string() != name || name == "." || name == "..")
        throw base::Failure("“" + std::string(name) + "”不是备份文件夹中的备份文件名。");
    std::error_code error;
    if (!fs::is_regular_file(original_, error))
        throw base::Failure("找不到备份文件“" + original_.string() + "”。");
    fs::remove(copy_, error);
    if (!fs::copy_file(original_, copy_, error))
        throw base::Failure("备份文件“" + original_.string() + "”无法读取：" + error.message() +
                            "。");
    try {
        CheckBackupFile(copy_, original_);
    } catch (...) {
        fs::remove(copy_, error);
        throw;
    }
}

ChosenBackup::~ChosenBackup() {
    std::error_code ignored;
    fs::remove(copy_, ignored);
    fs::remove(copy_.string() + "-journal", ignored);
}

}  // namespace zorbix::store

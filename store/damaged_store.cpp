#include "store/damaged_store.h"

#include "store/local_time.h"

namespace zorbix::store {

std::string DamagedStoreMessage(const std::filesystem::path& file, std::string_view detail,
                                bool not_a_database) {
    std::string message = "数据库文件“" + file.string() + "”" +
                          (not_a_database ? "不是本程序的数据库文件，或者已经损坏" : "已经损坏");
    if (!detail.empty()) message += "（" + std::string(detail) + "）";
    return message +
           "。请用备份恢复数据：在窗口中选择“工具”菜单的“备份与恢复”，选中一个备份后按“恢复”；"
           "或者用 zorbix-cli backups 列出备份，再用 zorbix-cli --yes restore 备份文件名 恢复。"
           "恢复时，损坏的文件改名为“zorbix2013-已损坏-日期-时间.db”保留在原处，不会删除。";
}

std::string DamageNote(const base::Failure& failure) {
    if (!dynamic_cast<const StoreDamaged*>(&failure)) return {};
    return "\n" + std::string(failure.what());
}

std::filesystem::path DamagedStoreName(const std::filesystem::path& file) {
    const std::string base = "zorbix2013-已损坏-" + LocalTimeNow("%Y%m%d-%H%M%S");
    std::filesystem::path name = file.parent_path() / (base + ".db");
    std::error_code ignored;
    for (int n = 2; std::filesystem::exists(name, ignored); ++n)
        name = file.parent_path() / (base + "-" + std::to_string(n) + ".db");
    return name;
}

}  // namespace zorbix::store

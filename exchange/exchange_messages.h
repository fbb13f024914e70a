// The texts, titles and dialog settings the exchange commands show, in one
// place.
#pragma once

#include <string>
#include <string_view>

#include "store/store_messages.h"

namespace zorbix::exchange {

inline constexpr std::string_view kSubmitTitle = "提交数据";
inline constexpr std::string_view kSubmitFilter = "kj|*.kj";
inline constexpr std::string_view kAppendTitle = "数据追加";
inline constexpr std::string_view kAppendFilter = "Kj|*.kj";

inline constexpr std::string_view kNoSubmitFile = "未指定提交数据的文件名！！";
inline constexpr std::string_view kNoAppendFile = "请指定文件名！！";

inline constexpr std::string_view kSubmitted = "提交数据完成。数据已保存在";  // + file + "中。"
inline const std::string kSubmitFailed = "数据提交失败！" + std::string(store::kRetryHint);
inline constexpr std::string_view kDistributed = "项目数据下发完成。";
inline constexpr std::string_view kAppended = "追加数据完成。";
inline const std::string kAppendFailed = "追加数据失败！" + std::string(store::kRetryHint);
// Before the reason a file is refused as an exchange file.
inline constexpr std::string_view kAppendRefused = "追加数据失败：";
inline constexpr std::string_view kNumberExists = "项目编号已存在！";  // after the number

inline constexpr std::string_view kEmptyStore = "数据库中没有项目。";
inline constexpr std::string_view kNoCurrentProject = "当前没有选定的项目。";

}  // namespace zorbix::exchange

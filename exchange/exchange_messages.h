// The texts, titles and dialog settings the exchange commands show, in one
// place.
#pragma once

#include <string_view>

namespace zorbix::exchange {

inline constexpr std::string_view kSubmitTitle = "提交数据";
inline constexpr std::string_view kSubmitFilter = "kj|*.kj";
inline constexpr std::string_view kAppendTitle = "数据追加";
inline constexpr std::string_view kAppendFilter = "Kj|*.kj";

inline constexpr std::string_view kNoSubmitFile = "未指定提交数据的文件名！！";
inline constexpr std::string_view kNoAppendFile = "请指定文件名！！";

inline constexpr std::string_view kSubmitted = "提交数据完成。数据已保存在{1}中。";  // {1} the file
// {1} the retry hint (store::kRetryHint), {2} the reason.
inline constexpr std::string_view kSubmitFailed = "数据提交失败！{1}\n{2}";
inline constexpr std::string_view kDistributed = "项目数据下发完成。";
inline constexpr std::string_view kAppended = "追加数据完成。";
// {1} the retry hint (store::kRetryHint), {2} the reason.
inline constexpr std::string_view kAppendFailed = "追加数据失败！{1}\n{2}";
// {1} why a file is refused as an exchange file.
inline constexpr std::string_view kAppendRefused = "追加数据失败：{1}";
inline constexpr std::string_view kNumberExists = "{1}项目编号已存在！";  // {1} the number

inline constexpr std::string_view kEmptyStore = "数据库中没有项目。";
inline constexpr std::string_view kNoCurrentProject = "当前没有选定的项目。";

}  // namespace zorbix::exchange

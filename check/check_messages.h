// The texts the check runs and the saving of their results show, in one
// place.
#pragma once

#include <string_view>

namespace zorbix::check {

inline constexpr std::string_view kCheckBusy = "数据审核";
// {1} the retry hint, {2} the reason.
inline constexpr std::string_view kCheckFailed = "数据审核失败！{1}\n{2}";
inline constexpr std::string_view kNoCurrentProject = "当前没有项目，无法审核。";
inline constexpr std::string_view kProjectHeading = "项目{1} 审核结果";  // {1} the number

inline constexpr std::string_view kNoSaveFileName = "请指定文件名！！";
inline constexpr std::string_view kNotSaved = "审核结果未能保存：{1}";  // {1} the reason
inline constexpr std::string_view kNotWritten = "没有写入。";  // after the quoted file name
inline constexpr std::string_view kSavedIn = "审核结果已保存在{1}中。";  // {1} the file

}  // namespace zorbix::check

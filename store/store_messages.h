// The texts the store operations show, in one place, and the retry hint
// that ends the survey's failure messages everywhere.
#pragma once

#include <string_view>

namespace zorbix::store {

// After "…失败！" in the survey's failure messages.
inline constexpr std::string_view kRetryHint = "请检查数据或重新启动系统后重试。";

inline constexpr std::string_view kLocateNotFound = "未找到要定位的项目！请检查项目编号是否正确。";
inline constexpr std::string_view kLocateWhat = "数据定位";  // + "失败！" + hint
inline constexpr std::string_view kAddPrompt = "请输入新增项目编号";
inline constexpr std::string_view kAddBadNumber = "项目编号格式错误。";
inline constexpr std::string_view kAddNumberExists = "项目编号已存在，请核对。";
inline constexpr std::string_view kAddWhat = "添加项目";
inline constexpr std::string_view kDeleteQuestion =
    "确实要删除项目编号为";  // + number + "的项目吗？"
inline constexpr std::string_view kDeleteQuestionEnd = "的项目吗？";
inline constexpr std::string_view kDeleteWhat = "删除项目";  // + number + "失败！" + hint
inline constexpr std::string_view kInitialiseQuestion =
    "数据初始化将会删除全部数据，确认要删除吗？";
inline constexpr std::string_view kInitialiseBusy = "数据初始化";
inline constexpr std::string_view kEndEditingWhat = "更新数据";

}  // namespace zorbix::store

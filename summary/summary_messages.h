// The texts the summary run shows, in one place.
#pragma once

#include <string_view>

namespace zorbix::summary {

inline constexpr std::string_view kSummaryBusy = "汇总";
inline constexpr std::string_view kSummaryDone = "汇总完成。";
inline constexpr std::string_view kSummaryIncomplete = "汇总没有全部完成，以下汇总表没有写出：";
// {1} the workbook's name, {2} why.
inline constexpr std::string_view kWorkbookNotWritten = "汇总表“{1}”没有写出：{2}";
inline constexpr std::string_view kReadFailed = "汇总时读取项目数据失败：{1}";  // {1} the reason

}  // namespace zorbix::summary

// The titles of the survey program's message boxes: which kind of notice
// carries which title is fixed by the survey, so every operation takes them
// from here.
#pragma once

#include <string_view>

namespace zorbix::store {

// The program title: store, field and page checks, most failures.
inline constexpr std::string_view kProgramTitle = "Qorvath省科技计划项目执行情况年度调查";
// Notices of saved files.
inline constexpr std::string_view kSavedFileTitle = "Qorvath省科技统计";
// Ends of check, summary and reconciliation runs.
inline constexpr std::string_view kRunEndTitle = "科技项目统计";

}  // namespace zorbix::store

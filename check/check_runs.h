// The check runs of the list page and of the page buttons. The result panel's
// text belongs to the caller (the window's panel, the batch tool's output):
// the runs that fill it take it by reference and replace it, exactly as the
// panel shows it, with CR LF line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "base/prompter.h"
#include "check/check_result.h"
#include "store/catalogue.h"
#include "store/record_set.h"

namespace zorbix::check {

// First line of the panel after a run over all projects (leading blank).
inline constexpr std::string_view kAllProjectsHeading = " 审核结果";
inline constexpr std::string_view kCheckDoneText = "审核完成，请在数据审核结果框内查看结果。";

// "数据审核": replaces the panel with " 审核结果" and then the findings of
// every project in store order (cover and table one, then tables two, three
// and four; a project without findings adds nothing). Walks with the
// ordinary moves, so a pending change is written first, shows progress and
// leaves the first record current; ends with the completion notice. An empty
// store gives the heading alone and the notice. Returns Failed when the store
// failed during the walk: its message has been shown and the panel holds the
// findings up to that project.
// The findings of the run, when asked for, go to `findings` as well: the
// panel's lines are made from them.
base::Outcome CheckAllProjects(store::RecordSet& records, base::Prompter& prompter,
                               std::string& panel, std::vector<Finding>* findings = nullptr);

// "项目审核": replaces the panel with "项目" + number + " 审核结果" and the
// current project's findings; no notice. Returns Refused, with a message and
// the panel untouched, when no project is current.
base::Outcome CheckCurrentProject(const store::RecordSet& records, base::Prompter& prompter,
                                  std::string& panel, std::vector<Finding>* findings = nullptr);

// The page buttons ("上一页", "下一页") of a table page: runs that page's rule
// set on the current record (table one together with the cover). True when
// the page may be left; otherwise the findings have been shown in a message
// box and the page stays. Pages without a rule set (the cover) always pass.
// The panel is not touched. Hiding the pickers on table one is the window's.
bool CheckPageBeforeLeaving(const store::RecordSet& records, base::Prompter& prompter,
                            store::Page page);

// "清除": empties the panel.
void ClearCheckReport(std::string& panel);

}  // namespace zorbix::check

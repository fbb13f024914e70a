// The operation behind "未报项目核对": reconciles the stored projects with
// the plan workbook in the program directory and returns the new text of the
// check result panel.
#pragma once

#include <filesystem>
#include <string>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::reconcile {

inline constexpr const char* kReconcileDone =
    "项目上报情况核对完成，请在数据审核结果框内查看结果。";

// Reads the plan workbook (FindPlanWorkbook), compares it with every stored
// project, leaves the store on its first record and shows the completion
// message; the result's panel text (CR LF line ends) replaces the panel's
// content. When the plan workbook is missing, damaged or not a plan list, or
// the store cannot be read, shows a message naming the file and the reason
// and fails: the panel is left as it was.
struct Reconciliation {
    base::Outcome outcome = base::Outcome::Failed;
    std::string panel;  // only when done

    explicit operator bool() const { return outcome.IsDone(); }
};

Reconciliation ReconcileWithPlan(store::RecordSet& records, base::Prompter& prompter,
                                 const std::filesystem::path& program_dir);

}  // namespace zorbix::reconcile

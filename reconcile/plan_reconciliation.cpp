#include "reconcile/plan_reconciliation.h"

#include "base/error.h"
#include "reconcile/plan_list.h"
#include "reconcile/reconciliation.h"
#include "store/titles.h"

namespace zorbix::reconcile {
namespace {

constexpr const char* kNotDone = "项目上报情况核对未能完成。";

void Tell(base::Prompter& prompter, const std::string& text) {
    base::Inform(prompter, store::kRunEndTitle, text, base::Icon::Exclamation);
}

}  // namespace

Reconciliation ReconcileWithPlan(store::RecordSet& records, base::Prompter& prompter,
                                 const std::filesystem::path& program_dir) {
    std::string text;
    try {
        base::BusyScope busy(prompter, "未报项目核对");
        auto plan = ReadPlanList(FindPlanWorkbook(program_dir));
        // Reading the stored projects leaves the store on its first record.
        text = ReconciliationText(std::move(plan), ReportedProjects(records));
    } catch (const base::Failure& e) {
        Tell(prompter, std::string(e.what()) + "\n" + kNotDone);
        return {};
    } catch (const std::exception& e) {
        Tell(prompter, "读取计划文件或项目数据时出错：" + std::string(e.what()) + "\n" + kNotDone);
        return {};
    }
    Tell(prompter, kReconcileDone);
    return {.outcome = base::Outcome::Done, .panel = std::move(text)};
}

}  // namespace zorbix::reconcile

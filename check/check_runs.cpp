#include "check/check_runs.h"

#include "base/error.h"
#include "check/check_result.h"
#include "check/rule_sets.h"
#include "store/titles.h"

namespace zorbix::check {
namespace {

// How often a run over all projects reports its progress.
constexpr int kProgressStep = 512;

// Checks `count` records from the first on, appending their findings.
void WalkAll(store::RecordSet& records, base::BusyScope& busy, std::string& panel) {
    const int count = records.Count();  // read once, as the walk moves
    CheckResult result;
    records.MoveFirst();
    for (int i = 0; i < count && !records.AtEnd(); ++i) {
        CheckAllTables(records.Current(), result);
        panel += result.text;
        result.Reset();
        records.MoveNext();
        if (i % kProgressStep == 0) busy.Progress(i, count);
    }
    busy.Progress(count, count);
    records.MoveFirst();
}

}  // namespace

bool CheckAllProjects(store::RecordSet& records, base::Prompter& prompter, std::string& panel) {
    panel.assign(kAllProjectsHeading).append(kLineEnd);
    try {
        base::BusyScope busy(prompter, "数据审核");
        if (records.Count() > 0) WalkAll(records, busy, panel);
    } catch (const base::Failure& e) {
        base::Inform(prompter, store::kProgramTitle,
                     std::string("数据审核失败！请检查数据或重新启动系统后重试。\n") + e.what());
        return false;
    }
    base::Inform(prompter, store::kRunEndTitle, kCheckDoneText, base::Icon::Exclamation);
    return true;
}

bool CheckCurrentProject(const store::RecordSet& records, base::Prompter& prompter,
                         std::string& panel) {
    // Without a current record there is nothing to check; an empty record
    // would only produce findings for a project that does not exist.
    if (!records.HasCurrent()) {
        base::Inform(prompter, store::kProgramTitle, "当前没有项目，无法审核。");
        return false;
    }
    panel.assign("项目").append(records.Value("JB02")).append(" 审核结果").append(kLineEnd);
    CheckResult result;
    CheckAllTables(records.Current(), result);
    if (result.failed) panel += result.text;
    return true;
}

bool CheckPageBeforeLeaving(const store::RecordSet& records, base::Prompter& prompter,
                            store::Page page) {
    CheckResult result;
    if (!CheckPage(page, records.Current(), result) || !result.failed) return true;
    base::Inform(prompter, store::kProgramTitle, result.text);
    return false;
}

void ClearCheckReport(std::string& panel) { panel.clear(); }

}  // namespace zorbix::check

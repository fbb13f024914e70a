#include "check/check_runs.h"

#include "base/error.h"
#include "base/message_text.h"
#include "check/check_messages.h"
#include "check/check_result.h"
#include "check/rule_sets.h"
#include "store/record_walk.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::check {
namespace {

// Checks every record, appending their findings, and ends on the first.
base::Outcome WalkAll(store::RecordSet& records, base::BusyScope& busy, std::string& panel,
                      std::vector<Finding>* findings) {
    CheckResult result;
    const auto walked = store::WalkAllRecords(records, {&busy}, [&](const store::Record& record) {
        CheckAllTables(record, result);
        AppendFindingsText(panel, result.findings);
        if (findings)
            findings->insert(findings->end(), result.findings.begin(), result.findings.end());
        result.Reset();
    });
    records.MoveFirst();
    return walked;
}

}  // namespace

base::Outcome CheckAllProjects(store::RecordSet& records, base::Prompter& prompter,
                               std::string& panel, std::vector<Finding>* findings) {
    panel.assign(kAllProjectsHeading).append(kLineEnd);
    if (findings) findings->clear();
    try {
        base::BusyScope busy(prompter, kCheckBusy);
        if (records.Count() > 0 && !WalkAll(records, busy, panel, findings))
            return base::Outcome::Cancelled;
    } catch (const base::Failure& e) {
        base::Inform(prompter, store::kProgramTitle,
                     base::MessageText(kCheckFailed, {store::kRetryHint, e.what()}));
        return base::Outcome::Failed;
    }
    base::Inform(prompter, store::kRunEndTitle, kCheckDoneText, base::Icon::Exclamation);
    return base::Outcome::Done;
}

base::Outcome CheckCurrentProject(const store::RecordSet& records, base::Prompter& prompter,
                                  std::string& panel, std::vector<Finding>* findings) {
    if (findings) findings->clear();
    // Without a current record there is nothing to check; an empty record
    // would only produce findings for a project that does not exist.
    if (!records.HasCurrent()) {
        base::Inform(prompter, store::kProgramTitle, kNoCurrentProject);
        return base::Outcome::Refused;
    }
    panel.assign(base::MessageText(kProjectHeading, {records.Value(store::kNumberColumn)}))
        .append(kLineEnd);
    CheckResult result;
    CheckAllTables(records.Current(), result);
    AppendFindingsText(panel, result.findings);
    if (findings) *findings = std::move(result.findings);
    return base::Outcome::Done;
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

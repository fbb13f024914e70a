#include "server/project_submit.h"

#include "base/message_text.h"
#include "check/rule_sets.h"
#include "server/api_error.h"
#include "server/project_access.h"
#include "server/project_history.h"
#include "server/project_json.h"
#include "server/project_version.h"

namespace zorbix::server {
namespace {

void RequireUnit(const Caller& caller) {
    if (!caller.IsUnit()) throw ApiError(403, "只有填报单位可以上报本单位的项目。");
}

void RequireSubmittable(accounts::ProjectState state) {
    if (!accounts::UnitMayEdit(state))
        throw ApiError(403, base::MessageText("项目已处于“{1}”状态，不能再次上报。",
                                              {accounts::StateCaption(state)}));
}

void RequireNoFindings(const std::string& number, const store::Record& record) {
    check::CheckResult result;
    check::CheckAllTables(record, result);
    if (result.findings.empty()) return;
    throw ApiError(422,
                   base::MessageText("项目“{1}”还有{2}处审核问题，请修改后再上报。",
                                     {number, std::to_string(result.findings.size())}),
                   {{"findings", FindingsJson(result.findings)}});
}

}  // namespace

Json SubmitProject(StoreParts& parts, const Caller& caller, const std::string& number) {
    RequireUnit(caller);
    const int position = ReachableProject(parts, caller, number);
    RequireSubmittable(parts.states.StateOf(number));
    const store::Record record = parts.records().ReadRow(position);
    RequireNoFindings(number, record);
    store::Transaction transaction(parts.store.database());
    const store::PersonLabel person(parts.records().history(), caller.account.name);
    ChangeState(parts, number, accounts::ProjectState::Submitted, kWebSubmit);
    transaction.Commit();
    return {{"number", number},
            {"state", accounts::StateCaption(accounts::ProjectState::Submitted)},
            {"version", VersionOf(parts, record)}};
}

}  // namespace zorbix::server

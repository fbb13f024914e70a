#include "server/project_submit.h"

#include "base/message_text.h"
#include "check/rule_sets.h"
#include "server/api_error.h"
#include "server/project_access.h"
#include "server/project_history.h"
#include "server/project_json.h"
#include "server/project_reading.h"
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

}  // namespace

void RequireNoFindings(const std::string& number, const store::Record& record) {
    check::CheckResult result;
    check::CheckAllTables(record, result);
    if (result.findings.empty()) return;
    throw ApiError(422,
                   base::MessageText("项目“{1}”还有{2}处审核问题，请修改后再上报。",
                                     {number, std::to_string(result.findings.size())}),
                   {{"findings", FindingsJson(result.findings)}});
}

SubmitReading ReadForSubmit(ReaderParts& reader, const Caller& caller, const std::string& number) {
    RequireUnit(caller);
    store::Record record = ReachableRecord(reader, caller, number);
    RequireSubmittable(reader.states.StateOf(number));
    const std::int64_t version = VersionOf(reader.database(), record);
    return {caller, number, std::move(record), version};
}

Json FinishSubmit(StoreParts& parts, const SubmitReading& reading) {
    const std::string& number = reading.number;
    const auto [position, before] = ReachableProjectWithState(parts, reading.caller, number);
    RequireSubmittable(before);
    const store::Record record = parts.records().ReadRow(position);
    const std::int64_t version = VersionOf(parts, record);
    // Saved meanwhile: what was checked is not what would be submitted.
    if (version != reading.version) RequireNoFindings(number, record);
    store::Transaction transaction(parts.store.database());
    const store::PersonLabel person(parts.records().history(), reading.caller.account.name);
    ChangeState(parts, number, before, accounts::ProjectState::Submitted, kWebSubmit);
    transaction.Commit();
    return {{"number", number},
            {"state", accounts::StateCaption(accounts::ProjectState::Submitted)},
            {"version", version}};
}

}  // namespace zorbix::server

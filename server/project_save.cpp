#include "server/project_save.h"

#include <set>
#include <utility>
#include <vector>

#include "check/rule_sets.h"
#include "server/api_error.h"
#include "server/project_access.h"
#include "server/project_history.h"
#include "server/project_json.h"
#include "server/project_version.h"
#include "store/changed_meanwhile.h"
#include "store/value_rules.h"

namespace zorbix::server {
namespace {

using Values = SaveValues;

}  // namespace

SaveValues ValuesToSave(const Json& body, const std::string& number) {
    const auto it = body.find("values");
    if (it == body.end() || !it->is_object()) BadInput("请求缺少“values”对象。");
    Values values;
    for (const auto& [name, value] : it->items()) {
        const auto index = store::FindColumn(name);
        if (!index) BadInput("没有名为" + name + "的列。");
        if (*index == store::kNumberColumn) BadInput("项目编号不能在保存时修改。");
        if (!value.is_string()) BadInput("列" + name + "的值须为文本。");
        const store::Column& column = store::Columns()[*index];
        const std::string text = value.get<std::string>();
        if (const auto fault = store::ValueFault(column, text))
            throw ApiError(422, store::ValuePlace(number, column) + *fault + "，不能保存。");
        values.emplace_back(*index, text);
    }
    return values;
}

namespace {

void RequireEditable(const Caller& caller, accounts::ProjectState state) {
    if (caller.IsUnit() && !accounts::UnitMayEdit(state))
        throw ApiError(403, "项目已处于“" + std::string(accounts::StateCaption(state)) +
                                "”状态，填报单位不能再修改。");
}

std::int64_t VersionToSave(const Json& body) {
    const auto it = body.find("version");
    if (it == body.end() || !it->is_number_integer())
        BadInput("请求缺少整数项“version”（读取项目时得到的版本）。");
    return it->get<std::int64_t>();
}

store::Record Typed(store::Record record, const Values& values) {
    for (const auto& [column, value] : values) record.Set(column, value);
    return record;
}

// 409: the project changed since the caller read it. The answer names who
// changed it and when, lists what the caller typed, and carries the
// project as it now is, so the page can show both.
[[noreturn]] void RefuseStale(StoreParts& parts, const std::string& number,
                              const store::Record& typed) {
    const int position = parts.positions.Of(number);
    if (position == 0) NoSuchProject(number);  // removed meanwhile
    const store::Record current = parts.records().ReadRow(position);
    const auto last = LastWriteOf(parts, number);
    const bool named = last && !last->who.empty();
    const std::string message = store::ChangedMeanwhileMessage(
        named ? last->who : "其他用户", last ? last->time : "不久前", typed, current);
    throw ApiError(
        409, message,
        {{"current", {{"version", VersionOf(parts, current)}, {"values", ValuesJson(current)}}}});
}

// Answers the project's state after the save; `state` is the one before.
accounts::ProjectState Write(StoreParts& parts, const Caller& caller, int position,
                             const Values& values, const std::string& number, std::int64_t version,
                             accounts::ProjectState state) {
    store::RecordSet& records = parts.records();
    try {
        store::Transaction transaction(parts.store.database());
        records.MoveTo(position);
        if (VersionOf(parts, records.Current()) != version)
            RefuseStale(parts, number, Typed(records.Current(), values));
        store::OperationLabel label(records, kWebEdit);
        store::PersonLabel person(records.history(), caller.account.name);
        for (const auto& [column, value] : values) records.SetValue(column, value);
        if (records.HasPendingChange()) records.WriteBack();
        if (!values.empty() && state == accounts::ProjectState::NotStarted) {
            ChangeState(parts, number, state, accounts::ProjectState::Drafting, kWebEdit);
            state = accounts::ProjectState::Drafting;
        }
        transaction.Commit();
        return state;
    } catch (const store::ChangedMeanwhile& changed) {
        // Someone else's write reached the row first: nothing of this one
        // stays, and the record set reads the row as it now is.
        records.Reopen();
        RefuseStale(parts, number, changed.typed());
    } catch (...) {
        // The record set must not keep what the database rolled back.
        records.Reopen();
        throw;
    }
}

// The pages whose rule sets the values stand on: table one's set covers
// the cover too.
std::set<store::Page> PagesOf(const Values& values) {
    std::set<store::Page> pages;
    for (const auto& [column, value] : values) {
        const store::Page page = store::Columns()[column].page;
        if (page != store::Page::None)
            pages.insert(page == store::Page::Cover ? store::Page::TableOne : page);
    }
    return pages;
}

}  // namespace

SavedPage SavePage(StoreParts& parts, const Caller& caller, const std::string& number,
                   const Json& body) {
    const auto [position, before] = ReachableProjectWithState(parts, caller, number);
    RequireEditable(caller, before);
    const Values values = ValuesToSave(body, number);
    const accounts::ProjectState after =
        Write(parts, caller, position, values, number, VersionToSave(body), before);
    store::Record record = parts.records().ReadRow(position);
    Json answer = {{"version", VersionOf(parts, record)}, {"state", accounts::StateCaption(after)}};
    return {std::move(answer), std::move(record), PagesOf(values)};
}

Json SaveAnswer(const SavedPage& saved) {
    check::CheckResult result;
    for (store::Page page : saved.pages) check::CheckPage(page, saved.record, result);
    Json answer = saved.answer;
    answer["findings"] = FindingsJson(result.findings);
    return answer;
}

}  // namespace zorbix::server

#include "server/project_save.h"

#include <set>
#include <utility>
#include <vector>

#include "check/rule_sets.h"
#include "server/api_error.h"
#include "server/project_access.h"
#include "server/project_json.h"
#include "store/value_rules.h"

namespace zorbix::server {
namespace {

// The history names changes made through the server's pages so.
constexpr std::string_view kWebEdit = "网页填报";

using Values = std::vector<std::pair<int, std::string>>;

Values ValuesToSave(const Json& body, const std::string& number) {
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

void RequireEditable(const Caller& caller, accounts::ProjectState state) {
    if (caller.IsUnit() && !accounts::UnitMayEdit(state))
        throw ApiError(403, "项目已处于“" + std::string(accounts::StateCaption(state)) +
                                "”状态，填报单位不能再修改。");
}

void Write(StoreParts& parts, int position, const Values& values, const std::string& number) {
    store::RecordSet& records = parts.records();
    try {
        store::Transaction transaction(parts.store.database());
        records.MoveTo(position);
        store::OperationLabel label(records, kWebEdit);
        for (const auto& [column, value] : values) records.SetValue(column, value);
        records.WriteBack();
        if (parts.states.StateOf(number) == accounts::ProjectState::NotStarted)
            parts.states.SetState(number, accounts::ProjectState::Drafting);
        transaction.Commit();
    } catch (...) {
        // The record set must not keep what the database rolled back.
        records.Reopen();
        throw;
    }
}

// The rule sets of the pages the values stand on: table one's set covers
// the cover too.
std::vector<check::Finding> PageFindings(const store::Record& record, const Values& values) {
    std::set<store::Page> pages;
    for (const auto& [column, value] : values) {
        const store::Page page = store::Columns()[column].page;
        if (page != store::Page::None)
            pages.insert(page == store::Page::Cover ? store::Page::TableOne : page);
    }
    check::CheckResult result;
    for (store::Page page : pages) check::CheckPage(page, record, result);
    return result.findings;
}

}  // namespace

Json SaveProject(StoreParts& parts, const Caller& caller, const std::string& number,
                 const Json& body) {
    const int position = ReachableProject(parts, caller, number);
    RequireEditable(caller, parts.states.StateOf(number));
    const Values values = ValuesToSave(body, number);
    if (!values.empty()) Write(parts, position, values, number);
    const store::Record record = parts.records().ReadRow(position);
    return {{"version", 0},
            {"state", accounts::StateCaption(parts.states.StateOf(number))},
            {"findings", FindingsJson(PageFindings(record, values))}};
}

}  // namespace zorbix::server

#include "server/project_review.h"

#include "base/message_text.h"
#include "server/api_error.h"
#include "server/project_access.h"
#include "server/project_history.h"
#include "server/project_version.h"
#include "store/catalogue.h"

namespace zorbix::server {
namespace {

using accounts::ProjectState;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

accounts::ReviewComments ReturnComments(const Json& body) {
    accounts::ReviewComments comments;
    const auto comment = body.find("comment");
    if (comment != body.end() && !comment->is_string()) BadInput("“comment”须为文本。");
    if (comment != body.end()) comments.project = Trimmed(comment->get<std::string>());
    if (comments.project.empty()) BadInput("退回项目时须填写审核意见。");
    const auto fields = body.find("fields");
    if (fields == body.end()) return comments;
    if (!fields->is_object()) BadInput("“fields”须为对象（列名：意见）。");
    for (const auto& [name, text] : fields->items()) {
        if (!store::FindColumn(name)) BadInput("没有名为" + name + "的列。");
        if (!text.is_string()) BadInput("列" + name + "的意见须为文本。");
        const std::string trimmed = Trimmed(text.get<std::string>());
        if (!trimmed.empty()) comments.fields[name] = trimmed;
    }
    return comments;
}

namespace {

std::string OptionalComment(const Json& body) {
    const auto comment = body.find("comment");
    if (comment == body.end() || comment->is_null()) return "";
    if (!comment->is_string()) BadInput("“comment”须为文本。");
    return Trimmed(comment->get<std::string>());
}

void RequireSubmitted(ProjectState state, std::string_view what) {
    if (state == ProjectState::Submitted) return;
    throw ApiError(422, base::MessageText("项目处于“{1}”状态，只有已上报的项目才能{2}。",
                                          {accounts::StateCaption(state), what}));
}

// The comment line of the history: the comment on the project, then one
// line per column comment.
std::string HistoryText(const accounts::ReviewComments& comments) {
    std::string text = comments.project;
    for (const auto& [column, comment] : comments.fields) text += "\n" + column + "：" + comment;
    return text;
}

std::map<std::string, std::string> NamedValues(const store::Record& record) {
    std::map<std::string, std::string> values;
    for (const store::Column& c : store::Columns()) values[c.name] = record[c.index];
    return values;
}

// The state change, its comment line and `notes` in one transaction.
template <class Notes>
void Decide(StoreParts& parts, const Caller& caller, const std::string& number, ProjectState state,
            std::string_view operation, const std::string& comment, Notes notes) {
    store::Transaction transaction(parts.store.database());
    const store::PersonLabel person(parts.records().history(), caller.account.name);
    notes();
    ChangeState(parts, number, state, operation);
    if (!comment.empty())
        parts.records().history().LogNote(operation, number, kCommentColumn, "", comment);
    transaction.Commit();
}

Json Answer(StoreParts& parts, const std::string& number, int position, ProjectState state) {
    return {{"number", number},
            {"state", accounts::StateCaption(state)},
            {"version", VersionOf(parts, parts.records().ReadRow(position))}};
}

}  // namespace

Json ReturnProject(StoreParts& parts, const Caller& caller, const std::string& number,
                   const Json& body) {
    RequireOffice(caller);
    const int position = ReachableProject(parts, caller, number);
    const accounts::ReviewComments comments = ReturnComments(body);
    RequireSubmitted(parts.states.StateOf(number), "退回");
    const store::Record record = parts.records().ReadRow(position);
    Decide(parts, caller, number, ProjectState::Returned, kWebReturn, HistoryText(comments), [&] {
        parts.reviews.SetComments(number, comments);
        parts.reviews.SetValuesAtReturn(number, NamedValues(record));
    });
    return Answer(parts, number, position, ProjectState::Returned);
}

Json ApproveProject(StoreParts& parts, const Caller& caller, const std::string& number,
                    const Json& body) {
    RequireOffice(caller);
    const int position = ReachableProject(parts, caller, number);
    const std::string comment = OptionalComment(body);
    RequireSubmitted(parts.states.StateOf(number), "审核通过");
    Decide(parts, caller, number, ProjectState::Approved, kWebApprove, comment, [] {});
    return Answer(parts, number, position, ProjectState::Approved);
}

Json CommentsJson(Books& parts, const std::string& number) {
    const accounts::ReviewComments comments = parts.reviews.CommentsOf(number);
    Json fields = Json::object();
    for (const auto& [column, comment] : comments.fields) fields[column] = comment;
    return {{"project", comments.project}, {"fields", fields}};
}

Json ChangedSinceReturnJson(Books& parts, const std::string& number, const store::Record& record) {
    const auto then = parts.reviews.ValuesAtReturn(number);
    Json changed = Json::array();
    if (then.empty()) return changed;
    for (const store::Column& c : store::Columns()) {
        const auto it = then.find(c.name);
        if (it == then.end() || it->second != record[c.index]) changed.push_back(c.name);
    }
    return changed;
}

}  // namespace zorbix::server

#include "server/project_routes.h"

#include "check/rule_sets.h"
#include "server/api_error.h"
#include "server/json_body.h"
#include "server/project_access.h"
#include "server/project_files.h"
#include "server/project_history.h"
#include "server/project_json.h"
#include "server/project_list.h"
#include "server/project_path.h"
#include "server/project_reading.h"
#include "server/project_review.h"
#include "server/project_save.h"
#include "server/project_submit.h"
#include "server/project_version.h"
#include "server/web_prompter.h"
#include "store/store_messages.h"
#include "store/store_operations.h"

namespace zorbix::server {
namespace {

// cpp-httplib matches the decoded path, where a number's own "%2F" is a
// slash already: the patterns only choose the route, the number comes from
// the target as sent.
constexpr const char* kProjectPath = R"(/api/projects/.+)";
constexpr const char* kFindingsPath = R"(/api/projects/.+/findings)";
constexpr const char* kHistoryPath = R"(/api/projects/.+/history)";
constexpr const char* kReportPath = R"(/api/projects/.+/report)";
constexpr const char* kExchangePath = R"(/api/projects/.+/exchange)";
constexpr const char* kSubmitPath = R"(/api/projects/.+/submit)";
constexpr const char* kReturnPath = R"(/api/projects/.+/return)";
constexpr const char* kApprovePath = R"(/api/projects/.+/approve)";

std::string NumberIn(const httplib::Request& request, std::string_view suffix = "") {
    auto number = ProjectNumberInTarget(request.target, suffix);
    if (!number) throw ApiError(404, "没有这个调用。");
    return std::move(*number);
}

// The window's "项目添加" with the number of the request; a unit's new
// project belongs to its unit, in the same transaction.
Json AddProject(StoreParts& parts, const Caller& caller, const std::string& number) {
    WebPrompter prompter;
    prompter.QueueText(number);
    store::RecordSet& records = parts.records();
    try {
        store::Transaction transaction(parts.store.database());
        const store::PersonLabel person(records.history(), caller.account.name);
        const base::Outcome outcome = store::AddProject(records, prompter);
        if (outcome.kind() == base::Outcome::Cancelled) BadInput("缺少项目编号。");
        if (outcome.kind() == base::Outcome::Failed) throw ApiError(503, prompter.last_message());
        if (outcome.kind() == base::Outcome::Refused)
            throw ApiError(prompter.last_message() == store::kAddNumberExists ? 409 : 422,
                           prompter.last_message());
        if (caller.IsUnit()) parts.owners.SetOwner(number, caller.account.unit);
        transaction.Commit();
    } catch (...) {
        records.Reopen();
        throw;
    }
    return {{"number", number},
            {"unit", caller.IsUnit() ? caller.account.unit : ""},
            {"state", accounts::StateCaption(accounts::ProjectState::NotStarted)},
            {"version", VersionOf(parts, records.Current())}};
}

// A project as read under the store's lock; its values become JSON after.
struct OpenedProject {
    Json answer;  // everything but "values"
    store::Record record;
};

OpenedProject OpenProject(ReaderParts& reader, const Caller& caller, const std::string& number) {
    store::Record record = ReachableRecord(reader, caller, number);
    Json project = {{"number", number},
                    {"state", accounts::StateCaption(reader.states.StateOf(number))},
                    {"version", VersionOf(reader.database(), record)},
                    {"comments", CommentsJson(reader, number)}};
    if (!caller.IsUnit())
        project["changed_since_return"] = ChangedSinceReturnJson(reader, number, record);
    return {std::move(project), std::move(record)};
}

// GET …/{n}: the project read on a reading connection, its answer made
// after it is given back.
Route Opening(RouteContext& context) {
    return [&context](const httplib::Request& request, httplib::Response& response) {
        OpenedProject opened = context.store.Reading([&](ReaderParts& reader) {
            return OpenProject(reader, RequireCaller(reader, request), NumberIn(request));
        });
        opened.answer["values"] = ValuesJson(opened.record);
        SendJson(response, 200, opened.answer);
    };
}

// PUT …/{n}: written under the lock, committed with the changes that queue
// beside it, the pages' rule sets run after it.
Route Saving(RouteContext& context) {
    return [&context](const httplib::Request& request, httplib::Response& response) {
        // Who asks is known before the writing turn, which is kept short.
        const auto asked = context.store.Reading([&](ReaderParts& reader) {
            Caller asking = RequireCaller(reader, request);
            return std::pair(std::move(asking), ObjectBody(request));
        });
        const Caller& caller = asked.first;
        const Json& body = asked.second;
        const SavedPage saved = context.store.Writing(
            [&](StoreParts& parts) { return SavePage(parts, caller, NumberIn(request), body); });
        SendJson(response, 200, SaveAnswer(saved));
    };
}

// The body of a call whose body is optional: {} when none was sent.
Json OptionalObjectBody(const httplib::Request& request) {
    return request.body.empty() ? Json::object() : ObjectBody(request);
}

Json AllFindingsJson(StoreParts& parts, const Caller& caller, const std::string& number) {
    const int position = ReachableProject(parts, caller, number);
    check::CheckResult result;
    check::CheckAllTables(parts.records().ReadRow(position), result);
    return {{"findings", FindingsJson(result.findings)}};
}

// A route that hands out a file made from a project the caller may reach:
// the record is read under the store's lock, the file made after it, so
// other requests do not wait for it.
template <class Make>
Route HandingOut(RouteContext& context, std::string_view suffix, Make make) {
    return [&context, suffix, make](const httplib::Request& request, httplib::Response& response) {
        std::filesystem::path program_dir;
        const store::Record record = context.store.With([&](StoreParts& parts) {
            const Caller caller = RequireCaller(parts, request);
            const int position = ReachableProject(parts, caller, NumberIn(request, suffix));
            program_dir = parts.store.directory();
            return parts.records().ReadRow(position);
        });
        const Download file = make(record, program_dir);
        response.status = 200;
        response.set_header("Content-Disposition", file.disposition);
        response.set_content(file.bytes, file.content_type);
    };
}

// POST …/submit: read on a reading connection, the rule sets run after
// it, and the state changed under the store's lock.
Route Submitting(RouteContext& context) {
    return [&context](const httplib::Request& request, httplib::Response& response) {
        const SubmitReading reading = context.store.Reading([&](ReaderParts& reader) {
            return ReadForSubmit(reader, RequireCaller(reader, request),
                                 NumberIn(request, "/submit"));
        });
        RequireNoFindings(reading.number, reading.record);
        const Json body =
            context.store.Writing([&](StoreParts& parts) { return FinishSubmit(parts, reading); });
        SendJson(response, 200, body);
    };
}

}  // namespace

void AddProjectRoutes(httplib::Server& http, RouteContext& context) {
    http.Get("/api/projects", Guarded([&context](const auto& request, auto& response) {
                 SendJson(response, 200, ProjectListJson(context.store, request));
             }));
    http.Post("/api/projects",
              Guarded(Answering(context, 201, [](StoreParts& p, const Caller& c, const auto& r) {
                  return AddProject(p, c, TextMember(ObjectBody(r), "number"));
              })));
    http.Get(kFindingsPath,
             Guarded(Answering(context, 200, [](StoreParts& p, const Caller& c, const auto& r) {
                 return AllFindingsJson(p, c, NumberIn(r, "/findings"));
             })));
    http.Get(kHistoryPath,
             Guarded(Answering(context, 200, [](StoreParts& p, const Caller& c, const auto& r) {
                 return HistoryJson(p, c, NumberIn(r, "/history"));
             })));
    http.Get(kReportPath, Guarded(HandingOut(context, "/report", ReportDownload)));
    http.Get(kExchangePath,
             Guarded(HandingOut(context, "/exchange", [](const store::Record& record, const auto&) {
                 return ExchangeDownload(record);
             })));
    http.Post(kSubmitPath, Guarded(Submitting(context)));
    http.Post(kReturnPath,
              Guarded(Changing(context, 200, [](StoreParts& p, const Caller& c, const auto& r) {
                  return ReturnProject(p, c, NumberIn(r, "/return"), ObjectBody(r));
              })));
    http.Post(kApprovePath,
              Guarded(Changing(context, 200, [](StoreParts& p, const Caller& c, const auto& r) {
                  return ApproveProject(p, c, NumberIn(r, "/approve"), OptionalObjectBody(r));
              })));
    http.Get(kProjectPath, Guarded(Opening(context)));
    http.Put(kProjectPath, Guarded(Saving(context)));
}

}  // namespace zorbix::server

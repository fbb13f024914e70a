#include "server/office_routes.h"

#include <memory>

#include "server/long_run.h"
#include "server/plan_load.h"
#include "server/progress.h"
#include "server/progress_caches.h"
#include "server/reconcile_data.h"

namespace zorbix::server {
namespace {

// A long run on its own connection: other requests do not wait for a
// large workbook. The shared record set then takes in the shells.
void LoadPlanRoute(RouteContext& context, const httplib::Request& request,
                   httplib::Response& response) {
    const Caller caller = RequireOfficeCaller(context, request);
    const Json body = InLongRun(context, "plan", [&](RunStore& run, RunTicket&) {
        const auto plan = ReadUploadedPlan(request.body);
        Json answer = LoadPlan(run, caller, plan, request.body);
        FollowWrittenRun(context.store);
        return answer;
    });
    SendJson(response, 200, body);
}

struct ProgressAnswer {
    Progress progress;
    std::vector<DayCount> days;
    Funds funds;
};

// The plan's amounts are read before the store's lock is taken. The days
// are those of the projects counted; the funds those of every project, as
// the summary workbooks total them. `with_charts` false: neither, for the
// workbook of the units not done.
ProgressAnswer ProgressOf(RouteContext& context, ProgressCaches& caches,
                          const httplib::Request& request, bool with_charts) {
    RequireOfficeCaller(context, request);
    const ProgressFilter filter = ProgressFilterOf(request.params);
    const auto program_dir =
        context.store.With([](StoreParts& parts) { return parts.store.directory(); });
    const auto amounts = PlannedAmounts(program_dir);
    return context.store.With([&](StoreParts& parts) {
        caches.Follow(parts, context.findings);
        ProgressAnswer answer;
        answer.progress = CountProgress(parts, caches.facts(), filter, amounts);
        if (!with_charts) return answer;
        answer.days = SubmissionsPerDay(caches.submissions(), answer.progress.counted);
        answer.funds = caches.funds();
        return answer;
    });
}

void ProgressRoute(RouteContext& context, ProgressCaches& caches, const httplib::Request& request,
                   httplib::Response& response) {
    const ProgressAnswer answer = ProgressOf(context, caches, request, true);
    Json body = ProgressJson(answer.progress);
    body["days"] = DaysJson(answer.days);
    body["funds"] = FundsJson(answer.funds);
    SendJson(response, 200, body);
}

// The plan is read before the store's lock is taken.
void ReconcileRoute(RouteContext& context, const httplib::Request& request,
                    httplib::Response& response) {
    RequireOfficeCaller(context, request);
    const auto program_dir =
        context.store.With([](StoreParts& parts) { return parts.store.directory(); });
    const auto plan = LoadedPlan(program_dir);
    SendJson(response, 200,
             context.store.With([&](StoreParts& parts) { return ReconcileJson(parts, plan); }));
}

}  // namespace

void WarmProgress(RouteContext& context) {
    try {
        context.store.With(
            [&](StoreParts& parts) { context.progress.Follow(parts, context.findings); });
    } catch (const std::exception&) {
        // The first progress call reads again and answers what failed.
    }
}

void AddOfficeRoutes(httplib::Server& http, RouteContext& context) {
    http.Post("/api/plan", Guarded([&context](const auto& request, auto& response) {
                  LoadPlanRoute(context, request, response);
              }));
    http.Get("/api/progress", Guarded([&context](const auto& request, auto& response) {
                 ProgressRoute(context, context.progress, request, response);
             }));
    http.Get("/api/reconcile", Guarded([&context](const auto& request, auto& response) {
                 ReconcileRoute(context, request, response);
             }));
    http.Get("/api/progress/missing.xlsx", Guarded([&context](const auto& request, auto& response) {
                 const Download workbook = MissingWorkbook(
                     ProgressOf(context, context.progress, request, false).progress);
                 response.status = 200;
                 response.set_header("Content-Disposition", workbook.disposition);
                 response.set_content(workbook.bytes, workbook.content_type);
             }));
}

}  // namespace zorbix::server

#include "server/office_routes.h"

#include "server/long_run.h"
#include "server/plan_load.h"
#include "server/progress.h"
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

// The plan's amounts are read before the store's lock is taken.
Progress ProgressOf(RouteContext& context, const httplib::Request& request) {
    RequireOfficeCaller(context, request);
    const ProgressFilter filter = ProgressFilterOf(request.params);
    const auto program_dir =
        context.store.With([](StoreParts& parts) { return parts.store.directory(); });
    const auto amounts = PlannedAmounts(program_dir);
    return context.store.With(
        [&](StoreParts& parts) { return CountProgress(parts, context.findings, filter, amounts); });
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

void AddOfficeRoutes(httplib::Server& http, RouteContext& context) {
    http.Post("/api/plan", Guarded([&context](const auto& request, auto& response) {
                  LoadPlanRoute(context, request, response);
              }));
    http.Get("/api/progress", Guarded([&context](const auto& request, auto& response) {
                 SendJson(response, 200, ProgressJson(ProgressOf(context, request)));
             }));
    http.Get("/api/reconcile", Guarded([&context](const auto& request, auto& response) {
                 ReconcileRoute(context, request, response);
             }));
    http.Get("/api/progress/missing.xlsx", Guarded([&context](const auto& request, auto& response) {
                 const Download workbook = MissingWorkbook(ProgressOf(context, request));
                 response.status = 200;
                 response.set_header("Content-Disposition", workbook.disposition);
                 response.set_content(workbook.bytes, workbook.content_type);
             }));
}

}  // namespace zorbix::server

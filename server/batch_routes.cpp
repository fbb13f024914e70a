#include "server/batch_routes.h"

#include "server/check_all.h"
#include "server/exchange_upload.h"
#include "server/long_run.h"
#include "server/office_workbooks.h"

namespace zorbix::server {
namespace {

// The shared record set takes in the appended projects however the append
// ended: a failure part-way may still have given owners to added ones.
Json AppendRoute(RouteContext& context, const httplib::Request& request) {
    RequireOfficeCaller(context, request);
    return InLongRun(context, "exchange", [&](RunStore& run, RunTicket& ticket) {
        try {
            Json answer = AppendUpload(run, ticket, request.body);
            FollowWrittenRun(context.store);
            return answer;
        } catch (...) {
            FollowWrittenRun(context.store);
            throw;
        }
    });
}

// A download made on a run of its own by make(run, ticket).
template <class Make>
httplib::Server::Handler DownloadRoute(RouteContext& context, std::string_view kind, Make make) {
    return Guarded(
        [&context, kind, make](const httplib::Request& request, httplib::Response& response) {
            RequireOfficeCaller(context, request);
            SendDownload(response, InLongRun(context, kind, make));
        });
}

}  // namespace

void AddBatchRoutes(httplib::Server& http, RouteContext& context) {
    http.Post("/api/exchange", Guarded([&context](const auto& request, auto& response) {
                  SendJson(response, 200, AppendRoute(context, request));
              }));
    http.Post("/api/check", Guarded([&context](const auto& request, auto& response) {
                  RequireOfficeCaller(context, request);
                  SendJson(response, 200, InLongRun(context, "check", CheckAllJson));
              }));
    http.Get("/api/summaries", DownloadRoute(context, "summaries", SummariesDownload));
    http.Get("/api/reconcile.xlsx",
             DownloadRoute(context, "reconcile",
                           [](RunStore& run, RunTicket&) { return ReconcileDownload(run); }));
    http.Get("/api/export", DownloadRoute(context, "export", ExportDownload));
    http.Get("/api/runs", Guarded([&context](const auto& request, auto& response) {
                 RequireOfficeCaller(context, request);
                 SendJson(response, 200, context.runs.RunsJson());
             }));
}

}  // namespace zorbix::server

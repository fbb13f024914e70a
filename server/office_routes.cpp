#include "server/office_routes.h"

#include "server/plan_load.h"

namespace zorbix::server {
namespace {

// The plan is read before the store's lock is taken, so other requests do
// not wait for a large workbook; only the caller is checked first.
void LoadPlanRoute(RouteContext& context, const httplib::Request& request,
                   httplib::Response& response) {
    const Caller caller = RequireOfficeCaller(context, request);
    const auto plan = ReadUploadedPlan(request.body);
    const Json body = context.store.With(
        [&](StoreParts& parts) { return LoadPlan(parts, caller, plan, request.body); });
    SendJson(response, 200, body);
}

}  // namespace

void AddOfficeRoutes(httplib::Server& http, RouteContext& context) {
    http.Post("/api/plan", Guarded([&context](const auto& request, auto& response) {
                  LoadPlanRoute(context, request, response);
              }));
}

}  // namespace zorbix::server

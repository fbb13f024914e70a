#include "server/catalogue_routes.h"

#include "server/catalogue_json.h"
#include "server/session_gate.h"

namespace zorbix::server {

void AddCatalogueRoutes(httplib::Server& http, RouteContext& context) {
    http.Get("/api/catalogue", Guarded([&context](const auto& request, auto& response) {
                 context.store.With([&](StoreParts& p) { RequireCaller(p, request); });
                 response.set_content(CatalogueDocument(), "application/json; charset=utf-8");
             }));
}

}  // namespace zorbix::server

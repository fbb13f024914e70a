#include "server/route_context.h"

#include "server/api_error.h"
#include "server/json_body.h"
#include "server/project_access.h"
#include "server/request_deadlines.h"
#include "server/upload_limits.h"
#include "store/database.h"

namespace zorbix::server {

httplib::Server::Handler Guarded(Route route) {
    return
        [route = std::move(route)](const httplib::Request& request, httplib::Response& response) {
            NoteRequestRead();
            try {
                // The HTTP server reads bodies up to the largest call's limit.
                if (request.body.size() > BodyLimitFor(request.path))
                    throw ApiError(413, TooLargeMessage(request.path));
                route(request, response);
            } catch (const ApiError& error) {
                SendJson(response, error.status(), error.Body());
            } catch (const base::Failure& failure) {
                // The store (or what it stands on) failed: the request may work later.
                SendError(response, 503, failure.what());
            } catch (const Json::exception&) {
                SendError(response, 400, "请求内容不是有效的JSON。");
            } catch (const std::exception&) {
                SendError(response, 500, "服务器内部错误，请稍后重试。");
            }
        };
}

// On a reading connection: the office's long runs start without waiting
// behind the units' changes for the store's lock.
Caller RequireOfficeCaller(RouteContext& context, const httplib::Request& request) {
    return context.store.Reading([&](ReaderParts& parts) {
        Caller caller = RequireCaller(parts, request);
        RequireOffice(caller);
        return caller;
    });
}

Caller RequireAdminCaller(RouteContext& context, const httplib::Request& request) {
    return context.store.Reading([&](ReaderParts& parts) {
        Caller caller = RequireCaller(parts, request);
        RequireAdmin(caller);
        return caller;
    });
}

}  // namespace zorbix::server

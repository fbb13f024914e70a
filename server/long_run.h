// How a route runs one of the office's long runs: on the run board (a
// second start of the same kind answers 409) and on a connection of its
// own, so the shared store's lock is taken only for short steps, and on a
// thread that goes before the units' requests (OfficeLane).
#pragma once

#include <httplib.h>

#include <string_view>

#include "server/project_files.h"
#include "server/route_context.h"
#include "server/run_store.h"

namespace zorbix::server {

// work(run, ticket) for a caller already allowed; passes on its answer.
template <class Work>
decltype(auto) InLongRun(RouteContext& context, std::string_view kind, Work&& work) {
    RunTicket ticket = context.runs.Start(kind);
    ticket.SetFraction(0);
    return context.lane.Run([&] {
        RunStore run(context.store);
        return work(run, ticket);
    });
}

// Sends a made file as the answer.
void SendDownload(httplib::Response& response, const Download& download);

}  // namespace zorbix::server

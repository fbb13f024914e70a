// The HTTP server over a shared store: its routes, the headers and body
// limit every request gets, and its request log. Serves plain HTTP, or
// HTTPS when given a certificate and key and cpp-httplib was built with
// OpenSSL.
#pragma once

#include <httplib.h>

#include <filesystem>
#include <iosfwd>
#include <memory>

#include "server/request_deadlines.h"
#include "server/route_context.h"
#include "server/server_options.h"
#include "server/shared_store.h"

namespace zorbix::server {

// True when this build can serve HTTPS.
bool TlsAvailable();

class ZorbixServer {
public:
    // Throws base::Failure with the user's message when TLS was asked for
    // and cannot be had (not built in, unreadable certificate or key).
    ZorbixServer(SharedStore& store, const ServerOptions& options, std::ostream& log,
                 accounts::Clock clock);
    ~ZorbixServer();

    // Binds the address; false when it cannot be bound.
    bool Bind(const std::string& host, int port);
    // Binds a free port of the address and returns it; -1 when none.
    int BindToAnyPort(const std::string& host);
    // Serves requests until Stop; false when serving failed.
    bool Serve();
    // Ends Serve from any thread: requests under way finish first.
    void Stop();
    bool IsRunning() const;

private:
    void SetUp(std::ostream& log);
    // Lets many browsers connect at the same moment.
    void DeferSilentConnections(std::chrono::seconds quiet_limit);
    void WidenBacklog() const;

    RequestDeadlines deadlines_;  // outlives the HTTP server that tells it
    std::unique_ptr<httplib::Server> http_;
    int listening_socket_ = -1;
    RouteContext context_;
    std::filesystem::path web_;  // the pages' folder; empty: none served
};

}  // namespace zorbix::server

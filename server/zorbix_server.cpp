#include "server/zorbix_server.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <thread>

#include "base/error.h"
#include "server/account_routes.h"
#include "server/auth_routes.h"
#include "server/backup_routes.h"
#include "server/batch_routes.h"
#include "server/catalogue_routes.h"
#include "server/connection_pool.h"
#include "server/json_body.h"
#include "server/office_routes.h"
#include "server/project_routes.h"
#include "server/request_log.h"
#include "server/security_headers.h"
#include "server/static_files.h"
#include "server/upload_limits.h"

namespace zorbix::server {
namespace {

// The resident workers serve a busy office; more are started while
// connections hold every worker, up to the most, beyond which a connection
// waits in the queue until another closes. A connection kept open between
// requests holds its worker until the quiet limit.
constexpr std::size_t kWorkers = 64;
constexpr std::size_t kMostWorkers = 4096;

std::unique_ptr<httplib::Server> MakeHttpServer(const ServerOptions& options) {
    if (!options.UsesTls()) return std::make_unique<httplib::Server>();
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
    auto https =
        std::make_unique<httplib::SSLServer>(options.tls_cert.c_str(), options.tls_key.c_str());
    if (!https->is_valid())
        throw base::Failure("无法读取TLS证书或私钥（" + options.tls_cert.string() + "，" +
                            options.tls_key.string() + "），或二者不匹配。");
    // TLS 1.2 and 1.3 only, whatever the system's OpenSSL settings allow.
    SSL_CTX_set_min_proto_version(https->ssl_context(), TLS1_2_VERSION);
    return https;
#else
    throw base::Failure("此版本的服务器不支持TLS（cpp-httplib未带OpenSSL编译）。");
#endif
}

// The message of an error the routes did not answer themselves (no such
// call, a body too large, a request cpp-httplib could not read).
std::string_view MessageFor(int status) {
    switch (status) {
        case 404: return "没有这个调用。";
        case 413: return "请求内容过大。";
        case 400: return "请求格式错误。";
        default: return "请求失败。";
    }
}

}  // namespace

bool TlsAvailable() {
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
    return true;
#else
    return false;
#endif
}

ZorbixServer::ZorbixServer(SharedStore& store, const ServerOptions& options, std::ostream& log,
                           accounts::Clock clock)
    : deadlines_(options.deadlines),
      http_(MakeHttpServer(options)),
      context_{store, accounts::LoginThrottle(std::move(clock)), options.UsesTls(), {}, {}, {}, {}},
      web_(options.web) {
    SetUp(log);
    // A client that sends its request or takes its answer too slowly, or
    // holds an idle connection open, gives its worker back.
    http_->set_read_timeout(options.quiet_limit);
    http_->set_write_timeout(options.quiet_limit);
    http_->set_keep_alive_timeout(options.quiet_limit.count());
    DeferSilentConnections(options.quiet_limit);
}

ZorbixServer::~ZorbixServer() = default;

void ZorbixServer::SetUp(std::ostream& log) {
    http_->set_default_headers(SecurityHeaders(context_.secure_cookies));
    http_->set_payload_max_length(kMaxAnyBodyBytes);
    // An answer's header and body go out as they are written, not after
    // the client's delayed acknowledgement of the first part (40 ms).
    http_->set_tcp_nodelay(true);
    // Each connection a browser keeps open holds a worker while it waits
    // for its next request; the store's lock lets one request at a time
    // work on the store anyway. Workers enough that idle connections and
    // logins waiting for their hash leave room for the calls that work.
    // They run below the office's long runs (OfficeLane).
    http_->new_task_queue = [] {
        return new ConnectionPool(kWorkers, kMostWorkers, std::chrono::seconds(30),
                                  kWorkerNiceness);
    };
    // A body too large is refused before it is read: to a client
    // waiting for "100 Continue" instead of it, to any other before routing,
    // closing the connection so that the unread body is never taken for a
    // request.
    http_->set_expect_100_continue_handler([](const auto& request, auto& response) {
        const auto refusal = BodyTooLarge(request.path, request.get_header_value("Content-Length"));
        if (!refusal) return 100;
        SendError(response, 413, *refusal);
        return 413;
    });
    http_->set_pre_routing_handler([this](const httplib::Request& request,
                                          httplib::Response& response) {
        NoteRequestStart();
        deadlines_.HeadersRead(request);
        const auto refusal = BodyTooLarge(request.path, request.get_header_value("Content-Length"));
        if (!refusal) return httplib::Server::HandlerResponse::Unhandled;
        SendError(response, 413, *refusal);
        response.set_header("Connection", "close");
        return httplib::Server::HandlerResponse::Handled;
    });
    const httplib::Server::HandlerWithResponse answer_unanswered = [](const httplib::Request&,
                                                                      httplib::Response& response) {
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        SendError(response, response.status, MessageFor(response.status));
        return httplib::Server::HandlerResponse::Handled;
    };
    http_->set_error_handler(answer_unanswered);
    http_->set_post_routing_handler([this](const auto& request, const auto& response) {
        deadlines_.Answering(request, response.body.size());
    });
    http_->set_logger([this, &log](const auto& request, const auto& response) {
        deadlines_.Answered(request);
        LogRequest(log, request, response);
    });
    AddAuthRoutes(*http_, context_);
    AddCatalogueRoutes(*http_, context_);
    AddProjectRoutes(*http_, context_);
    AddOfficeRoutes(*http_, context_);
    AddAccountRoutes(*http_, context_);
    AddBatchRoutes(*http_, context_);
    AddBackupRoutes(*http_, context_);
    // Last: the pages answer only what no call did.
    if (!web_.empty()) AddStaticRoutes(*http_, web_);
}

bool ZorbixServer::Bind(const std::string& host, int port) {
    const bool bound = http_->bind_to_port(host, port);
    if (bound) WidenBacklog();
    return bound;
}

int ZorbixServer::BindToAnyPort(const std::string& host) {
    const int port = http_->bind_to_any_port(host);
    if (port > 0) WidenBacklog();
    return port;
}

void ZorbixServer::DeferSilentConnections(std::chrono::seconds quiet_limit) {
    // A connection is taken in only once its first bytes arrive: browsers
    // and clients speak first, over HTTP and TLS alike. Until then the
    // kernel holds it, and no worker waits on it. The library's worker would
    // look for the request every 10 ms, so two thousand silent connections
    // kept the machine busy enough to starve the calls that did arrive. One
    // still silent after the quiet limit is taken in and then cut off.
    const int seconds = static_cast<int>(quiet_limit.count());
    http_->set_socket_options([this, seconds](socket_t socket) {
        httplib::default_socket_options(socket);
        ::setsockopt(socket, IPPROTO_TCP, TCP_DEFER_ACCEPT, &seconds, sizeof seconds);
        listening_socket_ = socket;
    });
}

void ZorbixServer::WidenBacklog() const {
    // cpp-httplib listens with a backlog of 5: fifty browsers connecting at
    // once overflow it, and the connections dropped wait for the client's
    // retry or fail. Listening again on the socket only widens the queue.
    if (listening_socket_ >= 0) ::listen(listening_socket_, SOMAXCONN);
}

bool ZorbixServer::Serve() {
    deadlines_.Watch(listening_socket_);
    // Beside the first requests, under the store's lock like them.
    std::thread warming([this] { WarmProgress(context_); });
    const bool served = http_->listen_after_bind();
    warming.join();
    deadlines_.Stop();
    return served;
}

void ZorbixServer::Stop() {
    deadlines_.Stop();
    http_->stop();
}

bool ZorbixServer::IsRunning() const { return http_->is_running(); }

}  // namespace zorbix::server

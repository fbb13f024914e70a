#include "server/zorbix_server.h"

#include "base/error.h"
#include "server/account_routes.h"
#include "server/auth_routes.h"
#include "server/catalogue_routes.h"
#include "server/json_body.h"
#include "server/office_routes.h"
#include "server/project_routes.h"
#include "server/request_log.h"
#include "server/security_headers.h"
#include "server/static_files.h"
#include "server/upload_limits.h"

namespace zorbix::server {
namespace {

std::unique_ptr<httplib::Server> MakeHttpServer(const ServerOptions& options) {
    if (!options.UsesTls()) return std::make_unique<httplib::Server>();
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
    auto https =
        std::make_unique<httplib::SSLServer>(options.tls_cert.c_str(), options.tls_key.c_str());
    if (!https->is_valid())
        throw base::Failure("无法读取TLS证书或私钥（" + options.tls_cert.string() + "，" +
                            options.tls_key.string() + "），或二者不匹配。");
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
    : http_(MakeHttpServer(options)),
      context_{store, accounts::LoginThrottle(std::move(clock)), options.UsesTls()},
      web_(options.web) {
    SetUp(log);
}

ZorbixServer::~ZorbixServer() = default;

void ZorbixServer::SetUp(std::ostream& log) {
    http_->set_default_headers(SecurityHeaders());
    http_->set_payload_max_length(kMaxAnyBodyBytes);
    // An upload too large is refused before its body is read: to a client
    // waiting for "100 Continue" instead of it, to any other before routing,
    // closing the connection so that the unread body is never taken for a
    // request.
    http_->set_expect_100_continue_handler([](const auto& request, auto& response) {
        const auto refusal =
            UploadTooLarge(request.path, request.get_header_value("Content-Length"));
        if (!refusal) return 100;
        SendError(response, 413, *refusal);
        return 413;
    });
    http_->set_pre_routing_handler(
        [](const httplib::Request& request, httplib::Response& response) {
            NoteRequestStart();
            const auto refusal =
                UploadTooLarge(request.path, request.get_header_value("Content-Length"));
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
    http_->set_logger(
        [&log](const auto& request, const auto& response) { LogRequest(log, request, response); });
    AddAuthRoutes(*http_, context_);
    AddCatalogueRoutes(*http_, context_);
    AddProjectRoutes(*http_, context_);
    AddOfficeRoutes(*http_, context_);
    AddAccountRoutes(*http_, context_);
    // Last: the pages answer only what no call did.
    if (!web_.empty()) AddStaticRoutes(*http_, web_);
}

bool ZorbixServer::Bind(const std::string& host, int port) {
    return http_->bind_to_port(host, port);
}

int ZorbixServer::BindToAnyPort(const std::string& host) { return http_->bind_to_any_port(host); }

bool ZorbixServer::Serve() { return http_->listen_after_bind(); }

void ZorbixServer::Stop() { http_->stop(); }

bool ZorbixServer::IsRunning() const { return http_->is_running(); }

}  // namespace zorbix::server

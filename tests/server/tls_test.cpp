// HTTPS with a certificate and key: the session cookie is then Secure.
#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <thread>

#include "accounts/account_creation.h"
#include "base/error.h"
#include "server/shared_store.h"
#include "server/zorbix_server.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

#ifdef CPPHTTPLIB_OPENSSL_SUPPORT

// A self-signed certificate for 127.0.0.1, made by the openssl program.
bool MakeCertificate(const TempDir& dir) {
    const std::string command =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -keyout " +
        ShellQuote((dir / "key.pem").string()) + " -out " +
        ShellQuote((dir / "cert.pem").string()) + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// A server over HTTPS on a free loopback port with the directory's
// certificate, serving until it goes out of scope.
struct HttpsServer {
    explicit HttpsServer(const TempDir& dir)
        : options(WithCertificate(dir)),
          store(dir.path(), accounts::SystemClock()),
          server(store, options, log, accounts::SystemClock()),
          port(server.BindToAnyPort("127.0.0.1")),
          serving([this] { server.Serve(); }) {
        while (!server.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~HttpsServer() {
        server.Stop();
        serving.join();
    }
    static server::ServerOptions WithCertificate(const TempDir& dir) {
        server::ServerOptions options;
        options.tls_cert = dir / "cert.pem";
        options.tls_key = dir / "key.pem";
        return options;
    }

    server::ServerOptions options;
    server::SharedStore store;
    std::ostringstream log;
    server::ZorbixServer server;
    int port;
    std::thread serving;
};

TEST(Tls, ServesHttpsAndMarksTheSessionCookieSecure) {
    TempDir dir;
    if (!MakeCertificate(dir)) GTEST_SKIP() << "the openssl program makes the certificate";
    std::optional<httplib::Result> reply;
    {
        HttpsServer https(dir);
        https.store.With([](server::StoreParts& parts) {
            accounts::CreateAccount(parts.accounts,
                                    {"clerk", accounts::Role::Clerk, "", "password1"});
        });
        httplib::SSLClient client("127.0.0.1", https.port);
        client.enable_server_certificate_verification(false);
        reply = client.Post("/api/login", R"({"name":"clerk","password":"password1"})",
                            "application/json");
    }
    ASSERT_TRUE(*reply);
    EXPECT_EQ((*reply)->status, 200);
    EXPECT_NE((*reply)->get_header_value("Set-Cookie").find("; Secure"), std::string::npos);
}

// A client that offers at most `highest` (and would take any cipher).
httplib::Result Probe(int port, int highest) {
    httplib::SSLClient client("127.0.0.1", port);
    client.enable_server_certificate_verification(false);
    SSL_CTX_set_security_level(client.ssl_context(), 0);
    SSL_CTX_set_min_proto_version(client.ssl_context(), 0);
    SSL_CTX_set_max_proto_version(client.ssl_context(), highest);
    return client.Get("/api/catalogue");
}

TEST(Tls, OnlyTls12And13AreSpokenAndBrowsersAreToldToStay) {
    TempDir dir;
    if (!MakeCertificate(dir)) GTEST_SKIP() << "the openssl program makes the certificate";
    std::optional<httplib::Result> old_tls, tls12, tls13;
    {
        HttpsServer https(dir);
        old_tls = Probe(https.port, TLS1_1_VERSION);
        tls12 = Probe(https.port, TLS1_2_VERSION);
        tls13 = Probe(https.port, TLS1_3_VERSION);
    }
    EXPECT_FALSE(*old_tls) << "TLS 1.1 was accepted";
    ASSERT_TRUE(*tls12);
    ASSERT_TRUE(*tls13);
    EXPECT_EQ((*tls13)->status, 401);
    EXPECT_EQ((*tls13)->get_header_value("Strict-Transport-Security"), "max-age=31536000");
}

TEST(Tls, AnUnreadableCertificateIsRefusedWithAMessage) {
    TempDir dir;
    server::ServerOptions options;
    options.tls_cert = dir / "missing-cert.pem";
    options.tls_key = dir / "missing-key.pem";
    server::SharedStore store(dir.path(), accounts::SystemClock());
    std::ostringstream log;
    try {
        server::ZorbixServer server(store, options, log, accounts::SystemClock());
        FAIL() << "a server without its certificate";
    } catch (const base::Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("无法读取TLS证书或私钥"), std::string::npos);
    }
}

#endif

}  // namespace
}  // namespace zorbix::testing

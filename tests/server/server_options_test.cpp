// The command line of zorbix-server.
#include "server/server_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "server/zorbix_server.h"

namespace zorbix::testing {
namespace {

using server::OptionError;
using server::ServerOptions;

ServerOptions Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "zorbix-server");
    return server::ParseServerOptions(static_cast<int>(args.size()), args.data());
}

std::string ErrorOf(std::vector<const char*> args) {
    try {
        Parse(std::move(args));
    } catch (const OptionError& error) {
        return error.what();
    }
    return "";
}

TEST(ServerOptions, DefaultsToLoopbackPort8013) {
    const ServerOptions options = Parse({"--dir", "/tmp/x"});
    EXPECT_EQ(options.dir, "/tmp/x");
    EXPECT_EQ(options.host, "127.0.0.1");
    EXPECT_EQ(options.port, 8013);
    EXPECT_FALSE(options.UsesTls());
    EXPECT_FALSE(options.init_admin);
    EXPECT_TRUE(options.web.empty()) << "main puts the pages beside the program";
}

TEST(ServerOptions, ReadsThePagesFolder) {
    EXPECT_EQ(Parse({"--web", "/srv/pages"}).web, "/srv/pages");
    EXPECT_EQ(ErrorOf({"--web"}), "--web 后面缺少取值。");
}

TEST(ServerOptions, ReadsListenTlsAndTheFirstAdministrator) {
    const ServerOptions options = Parse({"--listen", "[::]:8443", "--tls-cert", "c.pem",
                                         "--tls-key", "k.pem", "--init-admin", "管理员"});
    EXPECT_EQ(options.host, "::");
    EXPECT_EQ(options.port, 8443);
    EXPECT_TRUE(options.UsesTls());
    EXPECT_EQ(options.init_admin, "管理员");
    EXPECT_EQ(Parse({"--listen", "localhost:9000"}).port, 9000);
}

TEST(ServerOptions, RefusesWhatItCannotUse) {
    EXPECT_EQ(ErrorOf({"--listen", "8013"}), "--listen 应写成 主机:端口，例如 127.0.0.1:8013。");
    EXPECT_EQ(ErrorOf({"--listen", "127.0.0.1:0"}), "端口应为1到65535之间的整数：0");
    EXPECT_EQ(ErrorOf({"--listen", "127.0.0.1:http"}), "端口应为1到65535之间的整数：http");
    EXPECT_EQ(ErrorOf({"--tls-cert", "c.pem"}), "--tls-cert 与 --tls-key 须同时给出。");
    EXPECT_EQ(ErrorOf({"--dir"}), "--dir 后面缺少取值。");
    EXPECT_EQ(ErrorOf({"--port", "1"}), "未知参数：--port");
}

TEST(ServerOptions, PlainHttpOnlyOnLoopback) {
    EXPECT_EQ(ErrorOf({"--listen", "0.0.0.0:8013"}),
              "在本机以外的地址上监听时须使用TLS（--tls-cert 与 --tls-key）。");
    EXPECT_EQ(ErrorOf({"--listen", "[::1]:8013"}), "");
    EXPECT_EQ(ErrorOf({"--listen", "127.0.0.2:8013"}), "");
}

TEST(ServerOptions, ThisBuildServesHttpsWhenDebiansCppHttplibCan) {
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
    EXPECT_TRUE(server::TlsAvailable());
#else
    EXPECT_FALSE(server::TlsAvailable());
#endif
}

}  // namespace
}  // namespace zorbix::testing

// The web pages served from their folder: paths that would leave it are
// refused in every spelling, files go out with their types and the same
// security headers as the API.
#include "server/static_files.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "server/zorbix_server.h"
#include "tests/support/param_names.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;
using server::StaticFileFor;

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// A program directory, and beside it a pages folder with a secret next to
// it that no request may reach.
class StaticFiles : public ::testing::Test {
protected:
    StaticFiles() {
        Write(web() / "index.html", "<!doctype html><title>登录</title>");
        Write(web() / "js" / "app.js", "export const x = 1;");
        Write(web() / "style.css", "body{}");
        Write(web() / "notes.txt", "not served");
        Write(web() / ".hidden.js", "hidden");
        Write(dir_.path() / "secret.js", "secret");
        fs::create_directory_symlink(dir_.path(), web() / "out");
    }
    fs::path web() const { return dir_.path() / "web"; }

    TempDir dir_;
};

struct RefusedCase {
    const char* name;
    const char* target;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedTarget : public StaticFiles, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedTarget, FindsNoFile) {
    EXPECT_EQ(StaticFileFor(web(), GetParam().target), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    StaticFiles, RefusedTarget,
    ::testing::Values(
        RefusedCase{"DotDot", "/../secret.js"}, RefusedCase{"DotDotInside", "/js/../../secret.js"},
        RefusedCase{"EncodedDotDot", "/%2e%2e/secret.js"},
        RefusedCase{"EncodedSlash", "/..%2fsecret.js"},
        RefusedCase{"DoubleEncoded", "/%252e%252e/secret.js"},
        RefusedCase{"Backslash", "/..\\secret.js"},
        RefusedCase{"EncodedBackslash", "/..%5csecret.js"}, RefusedCase{"Nul", "/index.html%00.js"},
        RefusedCase{"BrokenEscape", "/index%2.html"}, RefusedCase{"Absolute", "//etc/passwd"},
        RefusedCase{"HiddenFile", "/.hidden.js"}, RefusedCase{"LinkLeadingOut", "/out/secret.js"},
        RefusedCase{"TypeNotServed", "/notes.txt"}, RefusedCase{"Folder", "/js"},
        RefusedCase{"Missing", "/nothing.js"}, RefusedCase{"NoSlash", "index.html"}),
    NameMember());

TEST_F(StaticFiles, TheFilesOfTheFolderAreFound) {
    EXPECT_EQ(StaticFileFor(web(), "/"), fs::canonical(web() / "index.html"));
    EXPECT_EQ(StaticFileFor(web(), "/index.html?n=1"), fs::canonical(web() / "index.html"));
    EXPECT_EQ(StaticFileFor(web(), "/js/app.js"), fs::canonical(web() / "js" / "app.js"));
    EXPECT_EQ(StaticFileFor(web(), "/js/%61pp.js"), fs::canonical(web() / "js" / "app.js"));
}

TEST(StaticFileTypes, EachServedTypeHasItsContentType) {
    EXPECT_EQ(server::ContentTypeOf("a.html"), "text/html; charset=utf-8");
    EXPECT_EQ(server::ContentTypeOf("a.js"), "text/javascript; charset=utf-8");
    EXPECT_EQ(server::ContentTypeOf("a.css"), "text/css; charset=utf-8");
    EXPECT_EQ(server::ContentTypeOf("a.svg"), "image/svg+xml");
    EXPECT_EQ(server::ContentTypeOf("a.exe"), "");
    EXPECT_EQ(server::ContentTypeOf("Makefile"), "");
}

TEST(StaticFileFolder, TheFolderBesideTheProgramComesFirstThenTheInstalledOne) {
    TempDir dir;
    EXPECT_EQ(server::DefaultWebDir(dir.path() / "bin"), dir.path() / "share" / "zorbix" / "web");
    fs::create_directories(dir.path() / "bin" / "web");
    EXPECT_EQ(server::DefaultWebDir(dir.path() / "bin"), dir.path() / "bin" / "web");
}

// The same requests through a running server.
class ServedPages : public StaticFiles {
protected:
    ServedPages()
        : store_(
              dir_.path(), [] { return std::int64_t{1'700'000'000}; },
              TestDatabaseFor(dir_.path())),
          server_(store_, Options(web()), log_, [] { return std::int64_t{1'700'000'000}; }) {
        port_ = server_.BindToAnyPort("127.0.0.1");
        serving_ = std::thread([this] { server_.Serve(); });
        while (!server_.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~ServedPages() override {
        server_.Stop();
        serving_.join();
    }
    static server::ServerOptions Options(const fs::path& web) {
        server::ServerOptions options;
        options.web = web;
        return options;
    }
    httplib::Result Get(const std::string& target) {
        httplib::Client client("127.0.0.1", port_);
        client.set_url_encode(false);
        return client.Get(target);
    }

    std::ostringstream log_;
    server::SharedStore store_;
    server::ZorbixServer server_;
    int port_ = -1;
    std::thread serving_;
};

TEST_F(ServedPages, APageComesWithItsTypeAndTheSecurityHeaders) {
    const auto page = Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->body, "<!doctype html><title>登录</title>");
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(page->get_header_value("Content-Security-Policy").find("script-src 'self'"),
              std::string::npos);
    EXPECT_EQ(page->get_header_value("X-Content-Type-Options"), "nosniff");
    const auto script = Get("/js/app.js");
    ASSERT_TRUE(script);
    EXPECT_EQ(script->get_header_value("Content-Type"), "text/javascript; charset=utf-8");
}

TEST_F(ServedPages, PathsOutOfTheFolderAreMissingPages) {
    for (const char* target : {"/../secret.js", "/%2e%2e/secret.js", "/..%5csecret.js",
                               "/index.html%00.js", "/out/secret.js"}) {
        const auto reply = Get(target);
        ASSERT_TRUE(reply) << target;
        EXPECT_EQ(reply->status, 404) << target;
        EXPECT_EQ(reply->body.find("secret"), std::string::npos) << target;
    }
}

TEST_F(ServedPages, UnknownCallsStayJsonErrorsOfTheApi) {
    const auto reply = Get("/api/nothing");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 404);
    EXPECT_EQ(reply->body, R"({"error":"没有这个调用。"})");
}

}  // namespace
}  // namespace zorbix::testing

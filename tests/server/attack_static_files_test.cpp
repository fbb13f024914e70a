// Paths meant to reach a file outside the pages' folder, sent byte for
// byte to a running server: every one is a missing page (404, the API's
// JSON error) and no answer holds a byte of a file outside the folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "server/zorbix_server.h"
#include "tests/server/raw_request.h"
#include "tests/support/param_names.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;

const std::string kSecret = "secret-outside-the-pages";

struct Escape {
    std::string name;
    std::string target;
};

void PrintTo(const Escape& e, std::ostream* out) { *out << e.name; }

const Escape kEscapes[] = {
    {"DotDot", "/../secret.js"},
    {"DotDotTwice", "/../../secret.js"},
    {"DotDotAfterFolder", "/js/../../secret.js"},
    {"EncodedDots", "/%2e%2e/secret.js"},
    {"EncodedDotsUpperCase", "/%2E%2E/secret.js"},
    {"EncodedSlash", "/js%2f..%2f..%2fsecret.js"},
    {"EncodedSlashUpperCase", "/js%2F..%2F..%2Fsecret.js"},
    {"DoubleEncodedDots", "/%252e%252e/secret.js"},
    {"DoubleEncodedSlash", "/..%252fsecret.js"},
    {"OverlongDots", "/%c0%ae%c0%ae/secret.js"},
    {"OverlongSlash", "/..%c0%afsecret.js"},
    {"Backslash", "/..\\secret.js"},
    {"EncodedBackslash", "/..%5csecret.js"},
    {"AbsolutePath", "//etc/passwd"},
    {"EncodedAbsolutePath", "/%2fetc%2fpasswd"},
    {"AbsoluteTarget", "/etc/passwd"},
    {"SchemeTarget", "file:///etc/passwd"},
    {"WindowsDrive", "/C:%5cWindows%5cwin.ini"},
    {"Nul", "/index.html%00.js"},
    {"NulBeforeDots", "/%00/../secret.js"},
    {"DirectoryLinkOut", "/out/secret.js"},
    {"FileLinkOut", "/leak.js"},
    {"DotSegment", "/./../secret.js"},
    {"TrailingSlash", "/index.html/"},
    {"HiddenFile", "/.hidden.js"},
};

class StaticEscapes : public ::testing::TestWithParam<Escape> {
protected:
    static void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    StaticEscapes()
        : store_(
              dir_.path(), [] { return std::int64_t{1'700'000'000}; },
              TestDatabaseFor(dir_.path())),
          server_(store_, Options(Prepared(dir_)), log_,
                  [] { return std::int64_t{1'700'000'000}; }) {
        port_ = server_.BindToAnyPort("127.0.0.1");
        serving_ = std::thread([this] { server_.Serve(); });
        while (!server_.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~StaticEscapes() override {
        server_.Stop();
        serving_.join();
    }

    // A pages folder, a secret beside it, and links from inside leading
    // out: one to the folder above, one to the secret file itself.
    static fs::path Prepared(const TempDir& dir) {
        const fs::path web = dir.path() / "web";
        Write(web / "index.html", "<!doctype html>");
        Write(web / "js" / "app.js", "export {};");
        Write(web / ".hidden.js", kSecret);
        Write(dir.path() / "secret.js", kSecret);
        fs::create_directory_symlink(dir.path(), web / "out");
        fs::create_symlink(dir.path() / "secret.js", web / "leak.js");
        return web;
    }
    static server::ServerOptions Options(const fs::path& web) {
        server::ServerOptions options;
        options.web = web;
        return options;
    }

    TempDir dir_;
    std::ostringstream log_;
    server::SharedStore store_;
    server::ZorbixServer server_;
    int port_ = -1;
    std::thread serving_;
};

TEST_P(StaticEscapes, FindNoFileOutsideThePages) {
    const RawReply reply = SendRaw(port_, RawRequest().Target(GetParam().target).WithoutCsrf());
    ASSERT_NE(reply.status, 0) << "no answer";
    EXPECT_TRUE(reply.status == 404 || reply.status == 400) << reply.status;
    EXPECT_EQ(reply.body.find(kSecret), std::string::npos);
    EXPECT_EQ(reply.body.find("root:"), std::string::npos);
    EXPECT_EQ(reply.Header("content-type"), "application/json; charset=utf-8");
    EXPECT_EQ(SendRaw(port_, RawRequest().Target("/js/app.js").WithoutCsrf()).status, 200)
        << "the pages themselves are served";
}

INSTANTIATE_TEST_SUITE_P(Targets, StaticEscapes, ::testing::ValuesIn(kEscapes), NameMember());

}  // namespace
}  // namespace zorbix::testing

// Script in any text a unit or the office can store: every answer is JSON
// that a browser will not take for a page (its type and nosniff), carries
// the texts exactly as stored, and every answer of any kind (pages, API
// answers, errors, downloads, refusals of the HTTP layer) carries a content
// security policy that runs only the server's own scripts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "report/report_files.h"
#include "server/security_headers.h"
#include "tests/server/raw_request.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using nlohmann::json;

const std::string kOwn = "201300000001";
const std::string kImage = "<img src=x onerror=\"window.zorbixOwned=1\">";
const std::string kScript = "<script>window.zorbixOwned=1</script>";
const std::string kUnitName = "</script><script>window.zorbixOwned=1</script>";

// The policy's own directive, e.g. "script-src 'self'"; "" when absent.
std::string Directive(const std::string& policy, const std::string& name) {
    std::istringstream parts(policy);
    for (std::string part; std::getline(parts, part, ';');) {
        part.erase(0, part.find_first_not_of(' '));
        if (part.rfind(name + " ", 0) == 0) return part;
    }
    return "";
}

void ExpectOnlyOwnScripts(const RawReply& reply) {
    const std::string policy = reply.Header("content-security-policy");
    ASSERT_FALSE(policy.empty()) << reply.head;
    const std::string scripts = Directive(policy, "script-src");
    EXPECT_EQ(scripts, "script-src 'self'") << policy;
    EXPECT_EQ(Directive(policy, "default-src"), "default-src 'self'") << policy;
    EXPECT_EQ(policy.find("unsafe-"), std::string::npos) << policy;
    EXPECT_EQ(Directive(policy, "object-src"), "object-src 'none'") << policy;
    EXPECT_EQ(reply.Header("x-content-type-options"), "nosniff") << reply.head;
}

class ScriptTexts : public ServerFixture {
protected:
    // Fatal failures here skip the test, which reads the answers as JSON.
    void SetUp() override {
        AddAccount("admin", Role::Admin, "", "admin-password");
        std::filesystem::copy_file(std::filesystem::u8path(ZORBIX_REPORT_TEMPLATE),
                                   report::TemplatePath(dir_.path()));
        admin_ = Login("admin", "admin-password");
        const Reply made =
            Call("POST", "/api/accounts", &admin_,
                 json{{"name", kImage}, {"role", "unit"}, {"unit", kUnitName}}.dump());
        ASSERT_EQ(made.status, 201) << made.body;
        const BrowserSession first = Login(kImage, made.Json().value("one_time_password", ""));
        ASSERT_EQ(
            Call("POST", "/api/password", &first,
                 json{{"old", made.Json().value("one_time_password", "")}, {"new", "unit-password"}}
                     .dump())
                .status,
            200);
        unit_ = Login(kImage, "unit-password");
        AddDemoProject(kOwn, kUnitName);
        ASSERT_EQ(SaveFresh(unit_, kOwn, json{{"JB01", kScript}, {"JB03", kImage}}).status, 200);
        ASSERT_EQ(Call("POST", "/api/projects/" + kOwn + "/submit", &unit_).status, 200);
        const json comments{{"comment", kScript}, {"fields", {{"JB01", kImage}}}};
        ASSERT_EQ(
            Call("POST", "/api/projects/" + kOwn + "/return", &admin_, comments.dump()).status,
            200);
    }

    RawReply Get(const std::string& target, const BrowserSession* who) {
        return SendRaw(port_,
                       RawRequest().Target(target).Cookie(who ? who->cookie : "").WithoutCsrf());
    }

    BrowserSession admin_;
    BrowserSession unit_;
};

TEST_F(ScriptTexts, AnswersAreJsonThatCarriesTheTextsExactly) {
    const RawReply list = Get("/api/projects", &unit_);
    const RawReply project = Get("/api/projects/" + kOwn, &unit_);
    const RawReply accounts = Get("/api/accounts", &admin_);
    const RawReply history = Get("/api/projects/" + kOwn + "/history", &admin_);
    const RawReply progress = Get("/api/progress", &admin_);
    for (const RawReply* reply : {&list, &project, &accounts, &history, &progress}) {
        EXPECT_EQ(reply->status, 200) << reply->body;
        EXPECT_EQ(reply->Header("content-type"), "application/json; charset=utf-8");
        ExpectOnlyOwnScripts(*reply);
    }
    ASSERT_EQ(project.status, 200) << project.body;
    const json read = json::parse(project.body);
    EXPECT_EQ(read["values"]["JB01"], kScript);
    EXPECT_EQ(read["values"]["JB03"], kImage);
    EXPECT_EQ(read["comments"]["project"], kScript);
    EXPECT_EQ(read["comments"]["fields"]["JB01"], kImage);
    EXPECT_EQ(json::parse(list.body)["projects"][0]["unit"], kUnitName);
    EXPECT_EQ(json::parse(list.body)["projects"][0]["name"], kScript);
    EXPECT_NE(accounts.body.find(json(kImage).dump()), std::string::npos);
    EXPECT_NE(progress.body.find(json(kUnitName).dump()), std::string::npos);
}

TEST_F(ScriptTexts, DownloadsAndErrorsCarryThePolicyToo) {
    const BrowserSession no_token{unit_.cookie, ""};
    const RawReply answers[] = {
        Get("/api/projects/" + kOwn + "/report", &unit_),
        Get("/api/projects/" + kOwn + "/exchange", &unit_),
        Get("/api/progress/missing.xlsx", &admin_),
        Get("/api/projects/201300000099", &unit_),  // 404
        Get("/api/projects", nullptr),              // 401
        Get("/api/accounts", &unit_),               // 403
        Get("/api/nothing%3Cscript%3E", &unit_),    // no such call
        Get("/%3Cscript%3Ealert(1)%3C/script%3E", &unit_),
        SendRaw(port_, RawRequest()
                           .Method("PUT")
                           .Target("/api/projects/" + kOwn)
                           .Cookie(unit_.cookie)
                           .WithoutCsrf()
                           .Body("{}")),  // 403 without the token
        SendRaw(port_, RawRequest()
                           .Method("POST")
                           .Target("/api/login")
                           .WithoutCsrf()
                           .Body("<script>")),  // 400
        SendRaw(port_, RawRequest().Method("DELETE").Target("/api/projects/" + kOwn).WithoutCsrf()),
        SendRaw(port_, RawRequest().Method("<script>").Target("/").WithoutCsrf()),
        SendRaw(port_, RawRequest()
                           .Method("POST")
                           .Target("/api/login")
                           .WithoutCsrf()
                           .DeclaredLength(3 << 20)),  // 413 before the body is read
    };
    for (const RawReply& reply : answers) {
        SCOPED_TRACE(reply.head);
        ASSERT_NE(reply.status, 0);
        ExpectOnlyOwnScripts(reply);
        if (reply.status >= 400) {
            EXPECT_EQ(reply.Header("content-type"), "application/json; charset=utf-8");
            EXPECT_EQ(reply.body.find("<script"), std::string::npos) << reply.body;
        }
    }
    EXPECT_EQ(answers[0].status, 200);
    EXPECT_EQ(answers[0].Header("content-disposition").rfind("attachment;", 0), 0u);
    EXPECT_EQ(answers[1].status, 200);
    EXPECT_EQ(answers[1].Header("content-disposition").rfind("attachment;", 0), 0u);
    const RawReply& too_large = answers[std::size(answers) - 1];
    EXPECT_EQ(too_large.status, 413);
    EXPECT_EQ(too_large.body, R"({"error":"请求内容过大。"})");
}

void Write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// The pages' own answers, from a server that serves a pages folder.
TEST(ScriptTextPages, PagesScriptsAndMissingPagesCarryThePolicy) {
    TempDir dir;
    Write(dir.path() / "web" / "index.html",
          "<!doctype html><script type=module src=a.js></script>");
    Write(dir.path() / "web" / "a.js", "export {};");
    server::SharedStore store(dir.path(), accounts::SystemClock(), TestDatabaseFor(dir.path()));
    server::ServerOptions options;
    options.web = dir.path() / "web";
    std::ostringstream log;
    server::ZorbixServer server(store, options, log, accounts::SystemClock());
    const int port = server.BindToAnyPort("127.0.0.1");
    std::thread serving([&] { server.Serve(); });
    while (!server.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (const char* target : {"/", "/index.html", "/a.js", "/missing.html", "/%3Cscript%3E.js"}) {
        SCOPED_TRACE(target);
        const RawReply reply = SendRaw(port, RawRequest().Target(target).WithoutCsrf());
        ASSERT_NE(reply.status, 0);
        ExpectOnlyOwnScripts(reply);
    }
    server.Stop();
    serving.join();
}

}  // namespace
}  // namespace zorbix::testing

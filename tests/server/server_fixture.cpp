#include "tests/server/server_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "accounts/account_creation.h"
#include "store/catalogue.h"
#include "store/change_history.h"
#include "store/demo_projects.h"

namespace zorbix::testing {
namespace {

accounts::Clock ClockOf(std::atomic<std::int64_t>& now) {
    return [&now] { return now.load(); };
}

}  // namespace

std::string Reply::Header(const std::string& name) const {
    const auto it = headers.find(name);
    return it == headers.end() ? "" : it->second;
}

nlohmann::json Reply::Json() const {
    auto json = nlohmann::json::parse(body, nullptr, false);
    return json.is_discarded() ? nlohmann::json::object() : json;
}

ServerFixture::ServerFixture()
    : store_(dir_.path(), ClockOf(now_), TestDatabaseFor(dir_.path())),
      server_(store_, server::ServerOptions{}, log_, ClockOf(now_)) {
    port_ = server_.BindToAnyPort("127.0.0.1");
    serving_ = std::thread([this] { server_.Serve(); });
    while (!server_.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

ServerFixture::~ServerFixture() {
    server_.Stop();
    if (serving_.joinable()) serving_.join();
}

void ServerFixture::AddAccount(const std::string& name, accounts::Role role,
                               const std::string& unit, const std::string& password) {
    store_.With([&](server::StoreParts& parts) {
        accounts::CreateAccount(parts.accounts, {name, role, unit, password});
    });
}

void ServerFixture::AddProject(const std::string& number, const std::string& unit) {
    store_.With([&](server::StoreParts& parts) {
        store::Row row(store::kColumnCount);
        row[store::kNumberColumn] = number;
        row[store::ColumnIndex("JB01")] = "项目" + number;
        parts.records().AddNew(row);
        if (!unit.empty()) parts.owners.SetOwner(number, unit);
    });
}

void ServerFixture::AddDemoProject(const std::string& number, const std::string& unit) {
    store_.With([&](server::StoreParts& parts) {
        parts.records().AddNew(store::MakeDemoProject(number, 7));
        parts.owners.SetOwner(number, unit);
    });
}

std::int64_t ServerFixture::VersionOf(const std::string& number, const BrowserSession& who) {
    const Reply project = Call("GET", "/api/projects/" + number, &who);
    if (project.status != 200) return -1;
    return project.Json().value("version", std::int64_t{-1});
}

Reply ServerFixture::SaveFresh(const BrowserSession& who, const std::string& number,
                               const nlohmann::json& values) {
    return Call("PUT", "/api/projects/" + number, &who,
                nlohmann::json{{"version", VersionOf(number, who)}, {"values", values}}.dump());
}

Reply ServerFixture::Call(const std::string& method, const std::string& path,
                          const BrowserSession* session, const std::string& body, bool with_csrf) {
    httplib::Client client("127.0.0.1", port_);
    httplib::Request request;
    request.method = method;
    request.path = path;
    if (session) {
        request.set_header("Cookie", session->cookie);
        if (with_csrf) request.set_header("X-CSRF-Token", session->csrf);
    }
    if (!body.empty()) {
        request.body = body;
        request.set_header("Content-Type", "application/json");
    }
    const auto result = client.send(request);
    if (!result) return {};
    return {result->status, result->body, result->headers};
}

Reply ServerFixture::Upload(const std::string& path, const BrowserSession* session,
                            const std::string& bytes, const std::string& content_type) {
    httplib::Client client("127.0.0.1", port_);
    httplib::Headers headers;
    if (session) headers = {{"Cookie", session->cookie}, {"X-CSRF-Token", session->csrf}};
    const auto result = client.Post(path, headers, bytes, content_type);
    if (!result) return {};
    return {result->status, result->body, result->headers};
}

int ServerFixture::StatusForDeclaredLength(const std::string& path, const BrowserSession* session,
                                           std::size_t length, bool expect_continue) {
    const int socket_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{5, 0};
    ::setsockopt(socket_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket_fd);
        return 0;
    }
    std::string head = "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (session)
        head += "Cookie: " + session->cookie + "\r\nX-CSRF-Token: " + session->csrf + "\r\n";
    if (expect_continue) head += "Expect: 100-continue\r\n";
    head += "Content-Length: " + std::to_string(length) + "\r\n\r\n";
    ::send(socket_fd, head.data(), head.size(), MSG_NOSIGNAL);
    char answer[64] = {};
    const auto got = ::recv(socket_fd, answer, sizeof answer - 1, 0);
    ::close(socket_fd);
    // "HTTP/1.1 413 …"
    const std::string line(answer, got > 0 ? static_cast<std::size_t>(got) : 0);
    return line.size() > 12 ? std::stoi(line.substr(9, 3)) : 0;
}

Reply ServerFixture::LoginReply(const std::string& name, const std::string& password) {
    return Call("POST", "/api/login", nullptr,
                nlohmann::json{{"name", name}, {"password", password}}.dump());
}

BrowserSession ServerFixture::Login(const std::string& name, const std::string& password) {
    const Reply reply = LoginReply(name, password);
    EXPECT_EQ(reply.status, 200) << reply.body;
    const std::string cookie = reply.Header("Set-Cookie");
    return {cookie.substr(0, cookie.find(';')), reply.Json().value("csrf", "")};
}

std::string ServerFixture::StoppedLog() {
    server_.Stop();
    if (serving_.joinable()) serving_.join();
    return log_.str();
}

}  // namespace zorbix::testing

// The JSON API's request bodies as the server takes them: each input goes
// as the body of a save, an addition, a return and a password change, from
// a logged-in unit and clerk, to a server in this process. Every answer
// must be one of the API's statuses, never a failure of the server itself.
#include <httplib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>

#include "accounts/account_creation.h"
#include "server/shared_store.h"
#include "server/zorbix_server.h"
#include "store/demo_projects.h"

using namespace zorbix;

namespace {

constexpr const char* kNumber = "201300000001";

struct Session {
    std::string cookie;
    std::string csrf;
};

struct Running {
    std::filesystem::path dir;
    std::unique_ptr<server::SharedStore> store;
    std::ostringstream log;
    std::unique_ptr<server::ZorbixServer> http;
    std::thread serving;
    int port = 0;
    Session unit, clerk;
};

Session LogIn(int port, const std::string& name, const std::string& password) {
    httplib::Client client("127.0.0.1", port);
    const auto reply =
        client.Post("/api/login", nlohmann::json{{"name", name}, {"password", password}}.dump(),
                    "application/json");
    if (!reply || reply->status != 200) std::abort();
    const std::string cookie = reply->get_header_value("Set-Cookie");
    return {cookie.substr(0, cookie.find(';')),
            nlohmann::json::parse(reply->body)["csrf"].get<std::string>()};
}

Running& Server() {
    static Running* running = [] {
        auto* r = new Running;
        r->dir = std::filesystem::temp_directory_path() /
                 ("zorbix-api-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(r->dir);
        r->store = std::make_unique<server::SharedStore>(r->dir, accounts::SystemClock());
        r->store->With([](server::StoreParts& parts) {
            accounts::CreateAccount(parts.accounts,
                                    {"unit", accounts::Role::Unit, "甲单位", "unit-password"});
            accounts::CreateAccount(parts.accounts,
                                    {"clerk", accounts::Role::Clerk, "", "clerk-password"});
            parts.records().AddNew(store::MakeDemoProject(kNumber, 7));
            parts.owners.SetOwner(kNumber, "甲单位");
        });
        server::ServerOptions options;
        r->http = std::make_unique<server::ZorbixServer>(*r->store, options, r->log,
                                                         accounts::SystemClock());
        r->port = r->http->BindToAnyPort("127.0.0.1");
        r->serving = std::thread([r] { r->http->Serve(); });
        while (!r->http->IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        r->unit = LogIn(r->port, "unit", "unit-password");
        r->clerk = LogIn(r->port, "clerk", "clerk-password");
        return r;
    }();
    return *running;
}

bool Expected(int status) {
    switch (status) {
        case 200:
        case 201:
        case 400:
        case 401:
        case 403:
        case 404:
        case 409:
        case 413:
        case 422:
        case 429: return true;
        default: return false;
    }
}

void Send(const Running& r, const Session& who, const char* method, const std::string& path,
          const std::string& body) {
    httplib::Client client("127.0.0.1", r.port);
    const httplib::Headers headers{{"Cookie", who.cookie}, {"X-CSRF-Token", who.csrf}};
    const auto reply = std::string(method) == "PUT"
                           ? client.Put(path, headers, body, "application/json")
                           : client.Post(path, headers, body, "application/json");
    if (!reply || !Expected(reply->status)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Running& r = Server();
    const std::string body(reinterpret_cast<const char*>(data), size);
    const std::string project = std::string("/api/projects/") + kNumber;
    Send(r, r.unit, "PUT", project, body);
    Send(r, r.unit, "POST", "/api/projects", body);
    Send(r, r.unit, "POST", "/api/password", body);
    Send(r, r.clerk, "POST", project + "/return", body);
    return 0;
}

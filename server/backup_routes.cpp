#include "server/backup_routes.h"

#include <chrono>
#include <thread>

#include "server/api_error.h"
#include "server/backup_name.h"
#include "server/long_run.h"
#include "server/run_prompter.h"
#include "store/backup_operations.h"
#include "store/backups.h"

namespace zorbix::server {
namespace {

std::filesystem::path BackupFolderOf(RouteContext& context) {
    return context.store.With(
        [](StoreParts& parts) { return store::BackupFolder(parts.store.database()); });
}

Json BackupsJson(const std::filesystem::path& folder) {
    Json list = Json::array();
    for (const store::BackupFile& b : store::WithProjectCounts(store::ListBackups(folder))) {
        std::error_code error;
        const auto size = std::filesystem::file_size(b.file, error);
        list.push_back({{"name", b.name},
                        {"time", b.time},
                        {"operation", b.operation},
                        {"projects", b.projects < 0 ? Json(nullptr) : Json(b.projects)},
                        {"size", error ? Json(nullptr) : Json(size)}});
    }
    return {{"backups", list}};
}

Json BackUpRoute(RouteContext& context, const httplib::Request& request) {
    RequireAdminCaller(context, request);
    return InLongRun(context, "backup", [](RunStore& run, RunTicket& ticket) {
        RunPrompter prompter(ticket);
        if (!store::BackUpNow(run.records(), prompter)) throw base::Failure(prompter.Text());
        return Json{{"message", prompter.Text()}};
    });
}

// A connection a run has just closed takes a moment to leave a PostgreSQL
// store, which refuses a restore while anyone else is connected: wait for
// it a little (an SQLite file has nobody else).
// Connections just closed (a run's own, the server's reading ones) are
// still counted by PostgreSQL for a moment.
void WaitUntilAlone(StoreParts& parts) {
    for (int tries = 0; tries < 30; ++tries) {
        if (parts.store.database().OtherSessions().empty()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// A restore replaces every project, so it works on the shared connection
// under the store's lock: no request is answered from a store half
// restored, and a shared PostgreSQL store refuses a restore while another
// connection (a run's own) is open. The shared record set is read again
// by the restore itself.
Json RestoreRoute(RouteContext& context, const httplib::Request& request) {
    RequireAdminCaller(context, request);
    const std::string name = request.matches[1].str();
    if (!IsListedBackup(BackupFolderOf(context), name))
        throw ApiError(404, "没有名为“" + name + "”的备份。");
    RunTicket ticket = context.runs.Start("restore");
    if (context.runs.RunsJson()["runs"].size() > 1)
        throw ApiError(409, "另有批量工作正在进行，恢复备份会替换全部项目，请等它完成后再试。");
    RunPrompter prompter(ticket);
    const base::Outcome restored = context.store.WithReadersClosed([&](StoreParts& parts) {
        WaitUntilAlone(parts);
        return store::RestoreBackup(parts.records(), prompter, name);
    });
    if (restored.kind() == base::Outcome::Refused) throw ApiError(409, prompter.Text());
    if (!restored) throw base::Failure(prompter.Text());
    return {{"message", prompter.Text()}};
}

}  // namespace

void AddBackupRoutes(httplib::Server& http, RouteContext& context) {
    http.Get("/api/backups", Guarded([&context](const auto& request, auto& response) {
                 RequireAdminCaller(context, request);
                 SendJson(response, 200, BackupsJson(BackupFolderOf(context)));
             }));
    http.Post("/api/backups", Guarded([&context](const auto& request, auto& response) {
                  SendJson(response, 200, BackUpRoute(context, request));
              }));
    http.Post(R"(/api/backups/([^/]+)/restore)",
              Guarded([&context](const auto& request, auto& response) {
                  SendJson(response, 200, RestoreRoute(context, request));
              }));
}

}  // namespace zorbix::server

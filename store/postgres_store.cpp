#include "store/postgres_store.h"

#include "base/message_text.h"
#include "store/change_history.h"
#include "store/postgres_db.h"
#include "store/project_table.h"

namespace zorbix::store {
namespace {

// Two programs starting on a new database at once create the tables once:
// the second waits for the first's transaction and then finds them.
constexpr const char* kCreationLock = "SELECT pg_advisory_xact_lock(2013)";

void RefuseForeignTable(const Database& db, const std::vector<std::string>& missing) {
    std::string names;
    for (const auto& m : missing) names += (names.empty() ? "" : "、") + m;
    throw base::Failure(base::MessageText(
        "{1}中的数据表kjxmzxqk缺少以下列：{2}。它不是本程序的数据库，程序没有改动它。",
        {db.Named(), names}));
}

void CreateMissingTables(Database& db) {
    Transaction creation(db);
    db.Execute(kCreationLock);
    if (!HasProjectTable(db)) CreateProjectTable(db);
    CreateHistoryTable(db);
    creation.Commit();
}

}  // namespace

std::unique_ptr<Database> OpenPostgresStore(const std::string& url,
                                            const std::filesystem::path& directory) {
    auto db = std::make_unique<PostgresDatabase>(url, directory);
    if (HasProjectTable(*db)) {
        const auto missing = MissingColumns(*db);
        if (!missing.empty()) RefuseForeignTable(*db, missing);
    }
    CreateMissingTables(*db);
    db->Listen();
    return db;
}

}  // namespace zorbix::store

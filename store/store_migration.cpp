#include "store/store_migration.h"

#include "base/atomic_file.h"
#include "base/instance_lock.h"
#include "base/message_text.h"
#include "store/postgres_store.h"
#include "store/sqlite_db.h"
#include "store/store.h"
#include "store/store_copy.h"
#include "store/titles.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMigrationTitle = "数据迁移";

void RefuseFilled(Database& db) {
    const int projects = ProjectCount(db);
    const int lines = HistoryLineCount(db);
    if (projects == 0 && lines == 0) return;
    throw base::Failure(base::MessageText(
        "{1}中已有{2}个项目和{3}条修改记录。迁移只能迁入没有数据的数据库，没有改动任何数据。",
        {db.Named(), std::to_string(projects), std::to_string(lines)}));
}

base::Outcome Tell(base::Prompter& prompter, const std::string& text, base::Icon icon) {
    base::Inform(prompter, kMigrationTitle, text, icon);
    return icon == base::Icon::Information ? base::Outcome::Done : base::Outcome::Failed;
}

}  // namespace

base::Outcome MigrateUp(const fs::path& directory, const std::string& database,
                        base::Prompter& prompter) {
    try {
        const fs::path file = directory / kDatabaseFileName;
        if (!fs::exists(file))
            throw base::Failure(base::MessageText(
                "程序目录中没有数据库文件“{1}”，没有可以迁移的数据。", {file.string()}));
        Store source(directory);
        Store target(directory, database);
        Database& to = target.database();
        Transaction transaction(to);
        RefuseFilled(to);
        const int projects = CopyProjectRows(source.database(), to);
        const int lines = CopyHistoryLines(source.database(), to);
        transaction.Commit();
        return Tell(prompter,
                    base::MessageText("已把{1}中的{2}个项目和{3}条修改记录迁移到{4}。",
                                      {source.database().Named(), std::to_string(projects),
                                       std::to_string(lines), to.Named()}),
                    base::Icon::Information);
    } catch (const base::Failure& failure) {
        return Tell(prompter, std::string("数据迁移失败！") + failure.what(), base::Icon::Critical);
    }
}

base::Outcome MigrateDown(const fs::path& directory, const std::string& database,
                          base::Prompter& prompter) {
    try {
        // Nobody opens the directory's file while it is made.
        base::InstanceLock lock(directory);
        const fs::path file = directory / kDatabaseFileName;
        if (fs::exists(file)) {
            SqliteDatabase existing(file);
            RefuseFilled(existing);
        }
        // The server's tables alone: a store opened on it would guard the
        // very file this writes.
        const auto source = OpenPostgresStore(database, directory);
        const fs::path temporary = base::TemporaryName(file);
        try {
            CopyIntoNewFile(*source, temporary);
            base::CommitTemporary(temporary, file);
        } catch (...) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw;
        }
        SqliteDatabase made(file);
        return Tell(prompter,
                    base::MessageText("已把{1}中的{2}个项目和{3}条修改记录迁移到数据库文件“{4}”。",
                                      {source->Named(), std::to_string(ProjectCount(made)),
                                       std::to_string(HistoryLineCount(made)), file.string()}),
                    base::Icon::Information);
    } catch (const base::Failure& failure) {
        return Tell(prompter, std::string("数据迁移失败！") + failure.what(), base::Icon::Critical);
    }
}

}  // namespace zorbix::store

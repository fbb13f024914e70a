#include "store/backups.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "base/atomic_file.h"
#include "base/error.h"
#include "base/error_reason.h"
#include "store/backup_files.h"
#include "store/damaged_store.h"
#include "store/local_time.h"
#include "store/sqlite_db.h"
#include "store/store_copy.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

const std::string kPrefix = "zorbix2013-";
const std::string kSuffix = ".db";
// user_version is a signed 32-bit number in SQLite.
constexpr std::uint32_t kLastOrder = 0x7FFFFFFF;

[[noreturn]] void FailIn(const fs::path& folder, const std::string& reason) {
    throw base::Failure("无法在文件夹“" + folder.string() + "”中建立备份：" + reason);
}

[[noreturn]] void FailDamaged(Database& db, const std::string& detail) {
    if (db.engine() != Engine::Sqlite)
        throw base::Failure("备份文件校验没有通过（" + detail +
                            "），备份文件夹中已有的备份都没有改动");
    throw StoreDamaged(DamagedStoreMessage(AsSqlite(db, "").file(), detail) +
                       "\n损坏的数据库不能再备份，备份文件夹中已有的备份都没有改动");
}

void Run(sqlite3* db, const std::string& sql, const fs::path& folder) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        FailIn(folder, sqlite3_errmsg(db));
}

// The whole store, through the online backup API, into `target`, carrying
// its place in the order of making. The copy leaves WAL mode so that
// reading it later needs no files beside it.
void CopyDatabase(Database& store, const fs::path& target, const fs::path& folder,
                  std::uint32_t order) {
    if (store.engine() == Engine::Postgres) {
        // A PostgreSQL store is copied into an SQLite file of the same tables.
        CopyIntoNewFile(store, target);
        FileConnection copy(target.string(), SQLITE_OPEN_READWRITE);
        if (!copy.ok()) FailIn(folder, copy.Error());
        Run(copy.get(), "PRAGMA user_version=" + std::to_string(order), folder);
        return;
    }
    SqliteDatabase& db = AsSqlite(store, "");
    FileConnection copy(target.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!copy.ok()) FailIn(folder, copy.Error());
    sqlite3_exec(copy.get(), "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", db.handle(), "main");
    if (!backup) FailIn(folder, copy.Error());
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    const int failed = stepped != SQLITE_DONE ? stepped : finished;
    if (failed == SQLITE_CORRUPT || failed == SQLITE_NOTADB)
        FailDamaged(db, sqlite3_errstr(failed));
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) FailIn(folder, copy.Error());
    Run(copy.get(), "PRAGMA user_version=" + std::to_string(order), folder);
    Run(copy.get(), "PRAGMA journal_mode=DELETE", folder);
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The parts of a backup's name; nullopt for any other file.
struct NameParts {
    std::string stamp;  // "20131205-143012"
    std::string operation;
    int sequence = 1;  // the second backup of the same second is 2, and so on
};

std::optional<NameParts> ParseName(std::string_view name) {
    if (name.size() <= kPrefix.size() + 16 + kSuffix.size() || !name.starts_with(kPrefix) ||
        !name.ends_with(kSuffix))
        return std::nullopt;
    const std::string_view stamp = name.substr(kPrefix.size(), 15);
    if (!AllDigits(stamp.substr(0, 8)) || stamp[8] != '-' || !AllDigits(stamp.substr(9)) ||
        name[kPrefix.size() + 15] != '-')
        return std::nullopt;
    std::string_view rest = name.substr(kPrefix.size() + 16);
    rest.remove_suffix(kSuffix.size());
    NameParts parts{std::string(stamp), std::string(rest)};
    const auto dash = rest.rfind('-');
    if (dash != std::string_view::npos && dash + 1 < rest.size() && rest.size() - dash < 9 &&
        AllDigits(rest.substr(dash + 1))) {
        parts.operation = std::string(rest.substr(0, dash));
        parts.sequence = std::stoi(std::string(rest.substr(dash + 1)));
    }
    if (parts.operation.empty()) return std::nullopt;
    return parts;
}

std::string ReadableTime(const std::string& stamp) {
    return stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
           stamp.substr(9, 2) + ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

// A free name for a backup of this second.
std::string NewName(const fs::path& folder, const std::string& stamp, std::string_view op) {
    const std::string start = kPrefix + stamp + "-" + std::string(op);
    std::string name = start + kSuffix;
    std::error_code ignored;
    for (int sequence = 2; fs::exists(folder / name, ignored); ++sequence)
        name = start + "-" + std::to_string(sequence) + kSuffix;
    return name;
}

// The place after every backup of the folder (the first of the list),
// whatever their names say.
std::uint32_t NextOrder(const std::vector<BackupFile>& backups) {
    const std::uint32_t last = backups.empty() ? 0 : backups.front().order;
    return last >= kLastOrder ? kLastOrder : last + 1;
}

// Keeps the backup just made and, after it, the newest of the `older`
// whole stores up to kBackupsKept in all, and the spared one; a file that
// is no store is not counted and stays.
void RemoveBeyondKept(const std::vector<BackupFile>& older, const fs::path& spared) {
    int counted = 1;  // the one just made
    std::error_code ignored;
    for (const auto& b : older) {
        if (!LooksLikeStore(b.file)) continue;
        if (++counted <= kBackupsKept || fs::equivalent(b.file, spared, ignored)) continue;
        fs::remove(b.file, ignored);
    }
}

// The backup folder is protected against every other writer, so the copy
// is put in place here: flushed to disk, then renamed to its final name.
void PutInPlace(const fs::path& temporary, const fs::path& file, const fs::path& folder) {
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced || ::rename(temporary.c_str(), file.c_str()) != 0)
        FailIn(folder, base::ErrorReason(errno));
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void EnsureFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) FailIn(folder, ec.message());
    if (!fs::is_directory(folder)) FailIn(folder, "它不是文件夹");
    if (::access(folder.c_str(), W_OK) != 0) FailIn(folder, base::ErrorReason(errno));
}

void RemoveWithJournal(const fs::path& file) {
    std::error_code ignored;
    fs::remove(file, ignored);
    fs::remove(file.string() + "-journal", ignored);
}

}  // namespace

fs::path BackupFolder(const Database& db) { return db.directory() / kBackupFolderName; }

std::optional<fs::path> MakeBackup(Database& db, std::string_view operation,
                                   const fs::path& spared) {
    const fs::path folder = BackupFolder(db);
    EnsureFolder(folder);
    const auto existing = ListBackups(folder);
    const fs::path file = folder / NewName(folder, LocalTimeNow("%Y%m%d-%H%M%S"), operation);
    // Hidden and of this process: the next start removes it should this run
    // be killed before the copy is in place.
    const fs::path temporary = base::TemporaryName(file);
    try {
        CopyDatabase(db, temporary, folder, NextOrder(existing));
        if (!existing.empty() && SameStore(temporary, existing.front().file)) {
            RemoveWithJournal(temporary);
            return std::nullopt;
        }
        if (!PassesQuickCheck(temporary)) FailDamaged(db, "数据页校验没有通过");
        PutInPlace(temporary, file, folder);
    } catch (const StoreDamaged&) {
        RemoveWithJournal(temporary);
        throw;
    } catch (const base::Failure& failure) {
        RemoveWithJournal(temporary);
        if (std::string_view(failure.what()).starts_with("无法在文件夹")) throw;
        FailIn(folder, failure.what());
    }
    RemoveBeyondKept(existing, spared);
    return file;
}

std::vector<BackupFile> ListBackups(const fs::path& folder) {
    struct Found {
        NameParts parts;
        BackupFile file;
    };
    std::vector<Found> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        const auto parts = ParseName(name);
        if (!parts || !entry.is_regular_file(ec)) continue;
        BackupFile b{entry.path(), name, ReadableTime(parts->stamp), parts->operation};
        b.order = MakingOrder(entry.path());
        found.push_back({*parts, std::move(b)});
    }
    std::sort(found.begin(), found.end(), [](const Found& x, const Found& y) {
        if (x.file.order != y.file.order) return x.file.order > y.file.order;
        if (x.parts.stamp != y.parts.stamp) return x.parts.stamp > y.parts.stamp;
        return x.parts.sequence > y.parts.sequence;
    });
    std::vector<BackupFile> backups;
    for (auto& f : found) backups.push_back(std::move(f.file));
    return backups;
}

std::vector<BackupFile> WithProjectCounts(std::vector<BackupFile> backups) {
    for (auto& b : backups) b.projects = ProjectCount(b.file);
    return backups;
}

}  // namespace zorbix::store

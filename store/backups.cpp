#include "store/backups.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>

#include "base/error.h"
#include "store/catalogue.h"
#include "store/local_time.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

const std::string kPrefix = "zorbix2013-";
const std::string kSuffix = ".db";

[[noreturn]] void FailIn(const fs::path& folder, const std::string& reason) {
    throw base::Failure("无法在文件夹“" + folder.string() + "”中建立备份：" + reason);
}

// An SQLite connection of this file only, closed however the work ends.
class Connection {
public:
    Connection(const std::string& name, int flags) {
        rc_ = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
    }
    ~Connection() { sqlite3_close_v2(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    bool ok() const { return rc_ == SQLITE_OK; }
    sqlite3* get() const { return db_; }
    std::string Error() const { return db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc_); }

private:
    sqlite3* db_ = nullptr;
    int rc_ = SQLITE_OK;
};

// Opens a file for reading without writing anything beside it: a backup is
// never changed by being looked at.
std::string ImmutableUri(const fs::path& file) {
    std::string uri = "file:";
    for (unsigned char c : file.string()) {
        if (std::isalnum(c) || std::strchr("/-_.~", c)) {
            uri += static_cast<char>(c);
        } else {
            static const char* hex = "0123456789ABCDEF";
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?immutable=1";
}

Connection OpenForReading(const fs::path& file) {
    return Connection(ImmutableUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

// The whole store, through the online backup API, into `target`. The copy
// leaves WAL mode so that reading it later needs no files beside it.
void CopyDatabase(Database& db, const fs::path& target, const fs::path& folder) {
    Connection copy(target.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!copy.ok()) FailIn(folder, copy.Error());
    sqlite3_exec(copy.get(), "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", db.handle(), "main");
    if (!backup) FailIn(folder, copy.Error());
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) FailIn(folder, copy.Error());
    if (sqlite3_exec(copy.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        FailIn(folder, copy.Error());
}

bool SameBytes(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) return false;
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    std::string x(1 << 20, '\0');
    std::string y(1 << 20, '\0');
    while (left && right) {
        left.read(x.data(), static_cast<std::streamsize>(x.size()));
        right.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (left.gcount() != right.gcount()) return false;
        if (std::memcmp(x.data(), y.data(), static_cast<std::size_t>(left.gcount())) != 0)
            return false;
    }
    return left.eof() && right.eof();
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
    if (dash != std::string_view::npos && AllDigits(rest.substr(dash + 1))) {
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

// The name of the next backup of this second.
std::string NewName(const fs::path& folder, const std::string& stamp, std::string_view op) {
    int sequence = 1;
    for (const auto& b : ListBackups(folder))
        if (const auto parts = ParseName(b.name); parts && parts->stamp == stamp)
            sequence = std::max(sequence, parts->sequence + 1);
    std::string name = kPrefix + stamp + "-" + std::string(op);
    if (sequence > 1) name += "-" + std::to_string(sequence);
    return name + kSuffix;
}

int ProjectCount(const fs::path& file) {
    Connection c = OpenForReading(file);
    if (!c.ok()) return -1;
    sqlite3_stmt* q = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(c.get(), "SELECT count(*) FROM kjxmzxqk", -1, &q, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW)
        count = sqlite3_column_int(q, 0);
    sqlite3_finalize(q);
    return count;
}

void RemoveBeyondKept(const fs::path& folder) {
    const auto backups = ListBackups(folder);
    std::error_code ignored;
    for (std::size_t i = kBackupsKept; i < backups.size(); ++i)
        fs::remove(backups[i].file, ignored);
}

// The backup folder is protected against every other writer, so the copy
// is put in place here: flushed to disk, then renamed to its final name.
void PutInPlace(const fs::path& temporary, const fs::path& file, const fs::path& folder) {
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced || ::rename(temporary.c_str(), file.c_str()) != 0)
        FailIn(folder, std::strerror(errno));
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
    if (::access(folder.c_str(), W_OK) != 0) FailIn(folder, std::strerror(errno));
    // A copy that a killed run left half-written is of no use to anyone.
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("." + kPrefix) && name.ends_with(".partial"))
            fs::remove(entry.path(), ec);
    }
}

}  // namespace

fs::path BackupFolder(const Database& db) {
    return fs::absolute(db.file()).parent_path() / kBackupFolderName;
}

std::optional<fs::path> MakeBackup(Database& db, std::string_view operation) {
    const fs::path folder = BackupFolder(db);
    EnsureFolder(folder);
    const fs::path file = folder / NewName(folder, LocalTimeNow("%Y%m%d-%H%M%S"), operation);
    const fs::path temporary = folder / ("." + file.filename().string() + ".partial");
    std::error_code ignored;
    try {
        CopyDatabase(db, temporary, folder);
        const auto existing = ListBackups(folder);
        if (!existing.empty() && SameBytes(temporary, existing.front().file)) {
            fs::remove(temporary, ignored);
            return std::nullopt;
        }
        PutInPlace(temporary, file, folder);
    } catch (const base::Failure& failure) {
        fs::remove(temporary, ignored);
        if (std::string_view(failure.what()).starts_with("无法在文件夹")) throw;
        FailIn(folder, failure.what());
    }
    RemoveBeyondKept(folder);
    return file;
}

std::vector<BackupFile> ListBackups(const fs::path& folder) {
    std::vector<std::pair<NameParts, BackupFile>> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        const auto parts = ParseName(name);
        if (!parts || !entry.is_regular_file(ec)) continue;
        BackupFile b{entry.path(), name, ReadableTime(parts->stamp), parts->operation};
        found.emplace_back(*parts, std::move(b));
    }
    std::sort(found.begin(), found.end(), [](const auto& x, const auto& y) {
        if (x.first.stamp != y.first.stamp) return x.first.stamp > y.first.stamp;
        return x.first.sequence > y.first.sequence;
    });
    std::vector<BackupFile> backups;
    for (auto& [parts, b] : found) backups.push_back(std::move(b));
    return backups;
}

std::vector<BackupFile> WithProjectCounts(std::vector<BackupFile> backups) {
    for (auto& b : backups) b.projects = ProjectCount(b.file);
    return backups;
}

namespace {

std::string Refusal(const fs::path& file) {
    return "备份文件“" + file.string() + "”已损坏，或者不是本程序的数据库文件，不能用来恢复。";
}

std::set<std::string> UpperColumnNames(sqlite3* db) {
    std::set<std::string> names;
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info('kjxmzxqk')", -1, &q, nullptr) !=
        SQLITE_OK)
        return names;
    while (sqlite3_step(q) == SQLITE_ROW) {
        std::string name = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
        for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        names.insert(name);
    }
    sqlite3_finalize(q);
    return names;
}

bool PassesQuickCheck(sqlite3* db) {
    sqlite3_stmt* q = nullptr;
    bool ok = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &q, nullptr) == SQLITE_OK &&
              sqlite3_step(q) == SQLITE_ROW &&
              std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(q, 0))) == "ok";
    sqlite3_finalize(q);
    return ok;
}

}  // namespace

void CheckBackupFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        throw base::Failure("找不到备份文件“" + file.string() + "”。");
    Connection c = OpenForReading(file);
    if (!c.ok() || !PassesQuickCheck(c.get())) throw base::Failure(Refusal(file));
    const auto present = UpperColumnNames(c.get());
    for (const Column& column : Columns()) {
        std::string upper = column.name;
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (!present.count(upper)) throw base::Failure(Refusal(file));
    }
}

}  // namespace zorbix::store

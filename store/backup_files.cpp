#include "store/backup_files.h"

#include <sqlite3.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <set>

#include "base/error.h"
#include "store/catalogue.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

// The header fields a backup's making writes: the file change counter, the
// user_version and the version-valid-for number.
bool SetByMaking(std::size_t offset) {
    return (offset >= 24 && offset < 28) || (offset >= 60 && offset < 64) ||
           (offset >= 92 && offset < 96);
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::set<std::string> UpperColumnNames(sqlite3* db) {
    std::set<std::string> names;
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info('kjxmzxqk')", -1, &q, nullptr) !=
        SQLITE_OK)
        return names;
    while (sqlite3_step(q) == SQLITE_ROW)
        names.insert(Upper(reinterpret_cast<const char*>(sqlite3_column_text(q, 0))));
    sqlite3_finalize(q);
    return names;
}

bool HasEveryColumn(sqlite3* db) {
    const auto present = UpperColumnNames(db);
    for (const Column& column : Columns())
        if (!present.count(Upper(column.name))) return false;
    return true;
}

bool QuickCheckSaysOk(sqlite3* db) {
    sqlite3_stmt* q = nullptr;
    const bool ok =
        sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &q, nullptr) == SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW &&
        std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(q, 0))) == "ok";
    sqlite3_finalize(q);
    return ok;
}

std::string Refusal(const fs::path& file) {
    return "备份文件“" + file.string() + "”已损坏，或者不是本程序的数据库文件，不能用来恢复。";
}

}  // namespace

FileConnection::FileConnection(const std::string& name, int flags) {
    rc_ = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
}

FileConnection::~FileConnection() { sqlite3_close_v2(db_); }

bool FileConnection::ok() const { return rc_ == SQLITE_OK; }

std::string FileConnection::Error() const {
    return db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc_);
}

FileConnection OpenUnchanged(const fs::path& file) {
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
    return FileConnection(uri + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

std::uint32_t MakingOrder(const fs::path& file) {
    char header[100] = {};
    std::ifstream in(file, std::ios::binary);
    if (!in.read(header, sizeof header) || std::memcmp(header, "SQLite format 3", 16) != 0)
        return 0;
    std::uint32_t order = 0;
    for (int i = 60; i < 64; ++i) order = (order << 8) | static_cast<unsigned char>(header[i]);
    return order;
}

bool LooksLikeStore(const fs::path& file) {
    FileConnection c = OpenUnchanged(file);
    return c.ok() && HasEveryColumn(c.get());
}

int ProjectCount(const fs::path& file) {
    FileConnection c = OpenUnchanged(file);
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

bool SameStore(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) return false;
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    std::string x(1 << 20, '\0');
    std::string y(1 << 20, '\0');
    std::size_t offset = 0;
    while (left && right) {
        left.read(x.data(), static_cast<std::streamsize>(x.size()));
        right.read(y.data(), static_cast<std::streamsize>(y.size()));
        const auto n = static_cast<std::size_t>(left.gcount());
        if (n != static_cast<std::size_t>(right.gcount())) return false;
        for (std::size_t i = 0; offset == 0 && i < 100 && i < n; ++i)
            if (SetByMaking(i)) x[i] = y[i];
        if (std::memcmp(x.data(), y.data(), n) != 0) return false;
        offset += n;
    }
    return left.eof() && right.eof();
}

bool PassesQuickCheck(const fs::path& file) {
    FileConnection c = OpenUnchanged(file);
    return c.ok() && QuickCheckSaysOk(c.get());
}

void CheckBackupFile(const fs::path& file, const fs::path& shown) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        throw base::Failure("找不到备份文件“" + shown.string() + "”。");
    FileConnection c = OpenUnchanged(file);
    if (!c.ok() || !QuickCheckSaysOk(c.get()) || !HasEveryColumn(c.get()))
        throw base::Failure(Refusal(shown));
}

}  // namespace zorbix::store

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "base/protected_targets.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/temp_dir.h"

namespace zorbix::store {
namespace {

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Sql(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The projects of the database file copied alone (without its journal), as
// someone copying it while the program runs would have them.
int RowsInDatabaseFileAlone(const std::filesystem::path& file) {
    testing::TempDir copy;
    std::filesystem::copy_file(file, copy / kDatabaseFileName);
    sqlite3* db = nullptr;
    sqlite3_open((copy / kDatabaseFileName).c_str(), &db);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM kjxmzxqk", -1, &count, nullptr);
    const int rows = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int(count, 0) : -1;
    sqlite3_finalize(count);
    sqlite3_close(db);
    return rows;
}

// The message of a refused open, or "" when it opened.
std::string OpenMessage(const std::filesystem::path& dir) {
    try {
        Store store(dir);
        return "";
    } catch (const base::Failure& e) {
        return e.what();
    }
}

TEST(StoreOpen, CreatesTheDatabaseAndItsTable) {
    testing::TempDir dir;
    { Store store(dir.path()); }
    ASSERT_TRUE(std::filesystem::exists(dir / kDatabaseFileName));
    Store again(dir.path());
    EXPECT_EQ(again.records().Count(), 0);
}

TEST(StoreOpen, RefusesAFileThatIsNotADatabaseAndLeavesIt) {
    testing::TempDir dir;
    const auto file = dir / kDatabaseFileName;
    std::ofstream(file) << "这不是数据库，只是一些文字。" << std::string(2000, 'x');
    const std::string before = ReadAll(file);
    const std::string message = OpenMessage(dir.path());
    EXPECT_NE(message.find(file.string()), std::string::npos) << message;
    EXPECT_NE(message.find("不是本程序的数据库文件"), std::string::npos) << message;
    EXPECT_EQ(ReadAll(file), before);
}

TEST(StoreOpen, RefusesATableWithoutAllColumns) {
    testing::TempDir dir;
    const auto file = dir / kDatabaseFileName;
    Sql(file, "CREATE TABLE kjxmzxqk (XH TEXT, JB02 TEXT, JB01 TEXT)");
    const std::string before = ReadAll(file);
    const std::string message = OpenMessage(dir.path());
    EXPECT_NE(message.find("缺少以下列：ZGDW、XMCDDW"), std::string::npos) << message;
    EXPECT_EQ(ReadAll(file), before);
}

TEST(StoreOpen, RefusesADatabaseOfAnotherProgramAndLeavesIt) {
    testing::TempDir dir;
    const auto file = dir / kDatabaseFileName;
    for (const char* sql :
         {"CREATE TABLE accounts (name TEXT)", "ALTER TABLE accounts RENAME TO kjxmzxqk_old"}) {
        Sql(file, sql);
        const std::string before = ReadAll(file);
        const std::string message = OpenMessage(dir.path());
        EXPECT_NE(message.find("不是本程序的数据库文件"), std::string::npos) << message;
        EXPECT_EQ(ReadAll(file), before) << sql;
    }
}

TEST(StoreOpen, AnEmptyFileBecomesANewStore) {
    testing::TempDir dir;
    { std::ofstream(dir / kDatabaseFileName); }
    EXPECT_EQ(OpenMessage(dir.path()), "");
    Store store(dir.path());
    EXPECT_EQ(store.records().Count(), 0);
}

TEST(StoreOpen, AnEndedOperationLeavesItsRecordsInTheDatabaseFile) {
    testing::TempDir dir;
    Store store(dir.path());
    AddDemoProjects(store.records(), 5, 1, nullptr);
    EXPECT_EQ(RowsInDatabaseFileAlone(dir / kDatabaseFileName), 5);
}

TEST(StoreOpen, WhatAKilledRunLeftInTheJournalGoesIntoTheDatabase) {
    testing::TempDir dir;
    const auto file = dir / kDatabaseFileName;
    { Store store(dir.path()); }
    // A writer killed after its commit: the record lies in the journal only.
    const pid_t writer = ::fork();
    if (writer == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                     "INSERT INTO kjxmzxqk (JB02) VALUES ('201300000001')",
                     nullptr, nullptr, nullptr);
        ::_exit(0);
    }
    ::waitpid(writer, nullptr, 0);
    ASSERT_GT(std::filesystem::file_size(dir / (std::string(kDatabaseFileName) + "-wal")), 0u);
    Store store(dir.path());
    EXPECT_EQ(RowsInDatabaseFileAlone(file), 1);
}

TEST(StoreOpen, ItsFilesAreProtectedWhileItIsOpen) {
    testing::TempDir dir;
    testing::TempDir other;
    auto store = std::make_unique<Store>(dir.path());
    { Store another(other.path()); }  // opening and closing another store changes nothing
    const auto problem = base::ProtectedTargetProblem(dir / kDatabaseFileName);
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find("是本程序的数据库文件"), std::string::npos) << *problem;
    EXPECT_TRUE(base::ProtectedTargetProblem(dir / (std::string(kDatabaseFileName) + "-shm")));
    EXPECT_FALSE(base::ProtectedTargetProblem(dir / "result.txt"));
    store.reset();
    EXPECT_FALSE(base::ProtectedTargetProblem(dir / kDatabaseFileName));
}

TEST(StoreOpen, RefusesAReadOnlyFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files anyway";
    testing::TempDir dir;
    { Store store(dir.path()); }
    std::filesystem::permissions(dir / kDatabaseFileName, std::filesystem::perms::owner_read);
    EXPECT_NE(OpenMessage(dir.path()).find("只读"), std::string::npos);
}

TEST(StoreOpen, NamesAProgramDirectoryWhereNothingCanBeWritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders anyway";
    testing::TempDir dir;
    { Store store(dir.path()); }
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_NE(OpenMessage(dir.path()).find("中不能写入文件"), std::string::npos);
}

TEST(StoreOpen, RefusesADatabaseLockedByAnotherProgram) {
    testing::TempDir dir;
    { Store store(dir.path()); }
    sqlite3* other = nullptr;
    sqlite3_open((dir / kDatabaseFileName).c_str(), &other);
    sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    const std::string message = OpenMessage(dir.path());
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_NE(message.find("锁定"), std::string::npos) << message;
}

TEST(StoreOpen, RefusesASecondCopyOnTheSameDirectory) {
    testing::TempDir dir;
    Store first(dir.path());
    const std::string message = OpenMessage(dir.path());
    EXPECT_NE(message.find("另一个正在运行的本程序"), std::string::npos) << message;
}

TEST(StoreOpen, ReadsColumnsByNameWhateverTheirPhysicalOrder) {
    testing::TempDir dir;
    const auto file = dir / kDatabaseFileName;
    std::string sql = "CREATE TABLE kjxmzxqk (";
    auto columns = Columns();
    for (int i = kColumnCount - 1; i >= 0; --i)
        sql += "\"" + columns[i].name + "\" TEXT" + (i ? "," : ")");
    Sql(file, sql.c_str());
    Sql(file, "INSERT INTO kjxmzxqk (JB02, JB01) VALUES ('201300000001', '反序表')");
    Store store(dir.path());
    store.records().MoveFirst();
    EXPECT_EQ(store.records().Value("JB01"), "反序表");
    EXPECT_EQ(store.records().Value(1), "201300000001");
}

}  // namespace
}  // namespace zorbix::store

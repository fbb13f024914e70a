// A store several people work on at once (PostgreSQL): no write over
// another's change, every change of others followed, operations that
// replace everything refused while others are connected, and stores moved
// between the engines exactly.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "store/backup_operations.h"
#include "store/backups.h"
#include "store/catalogue.h"
#include "store/changed_meanwhile.h"
#include "store/demo_projects.h"
#include "store/postgres_db.h"
#include "store/record_set.h"
#include "store/store.h"
#include "store/store_migration.h"
#include "store/store_operations.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::store {
namespace {

const int kName = ColumnIndex("JB01");
const int kUnit = ColumnIndex("XMCDDW");

// Notices of others' changes travel on their own; a test waits for them
// as a window's idle look would take them in.
void TakeInOthersChanges(RecordSet& records) {
    for (int i = 0; i < 200 && !records.FollowChanges(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

class SharedStore : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::OnPostgres()) GTEST_SKIP() << "one copy of the program holds an SQLite file";
        first_ = testing::OpenTestStore(dir_.path());
        AddDemoProjects(first_->records(), 20, 7);
        first_->records().Reopen();  // both in store order
        second_ = testing::OpenTestStore(dir_.path());
    }
    RecordSet& first() { return first_->records(); }
    RecordSet& second() { return second_->records(); }

    testing::TempDir dir_;
    std::unique_ptr<Store> first_;
    std::unique_ptr<Store> second_;
};

TEST_F(SharedStore, AWriteOverAnotherPersonsChangeIsRefusedAndNothingIsOverwritten) {
    first().MoveTo(3);
    second().MoveTo(3);
    second().SetValue(kName, "第二位的名称");
    second().WriteBack();

    first().SetValue(kName, "第一位的名称");
    try {
        first().WriteBack();
        FAIL() << "the write went over the other change";
    } catch (const ChangedMeanwhile& refused) {
        const std::string message = refused.what();
        EXPECT_NE(message.find(second_->database().User()), std::string::npos) << message;
        EXPECT_NE(message.find("第一位的名称"), std::string::npos) << "the typing is shown";
        EXPECT_EQ(refused.typed()[kName], "第一位的名称");
    }
    EXPECT_EQ(first().Value(kName), "第二位的名称") << "the current values are shown";
    EXPECT_FALSE(first().HasPendingChange());
    // Entered again over what is now stored, the write goes through.
    first().SetValue(kName, "第一位的名称");
    first().WriteBack();
    TakeInOthersChanges(second());
    second().MoveTo(3);
    EXPECT_EQ(second().Value(kName), "第一位的名称");
}

TEST_F(SharedStore, AWriteToARecordSomeoneRemovedIsRefused) {
    first().MoveTo(5);
    second().MoveTo(5);
    const std::string number(second().Value(kNumberColumn));
    second().Delete();
    first().SetValue(kName, "已被删除的项目");
    EXPECT_THROW(first().WriteBack(), ChangedMeanwhile);
    EXPECT_EQ(first().Count(), 19);
    for (int p = 1; p <= first().Count(); ++p) EXPECT_NE(first().ReadRow(p)[kNumberColumn], number);
}

TEST_F(SharedStore, MovesShowWhatOthersChangedAddedAndRemoved) {
    first().MoveTo(2);
    second().MoveTo(2);
    second().SetValue(kUnit, "另一个单位");
    second().WriteBack();
    second().AddNew(MakeDemoProject("209900000001", 3));
    second().MoveTo(1);
    second().Delete();

    TakeInOthersChanges(first());
    first().MoveTo(1);
    EXPECT_EQ(first().Count(), 20) << "one added, one removed";
    bool seen_change = false, seen_added = false;
    for (int p = 1; p <= first().Count(); ++p) {
        const Record row = first().ReadRow(p);
        seen_change |= row[kUnit] == "另一个单位";
        seen_added |= row[kNumberColumn] == "209900000001";
    }
    EXPECT_TRUE(seen_change);
    EXPECT_TRUE(seen_added);
}

TEST_F(SharedStore, ReplacingEveryProjectIsRefusedWhileOthersAreConnected) {
    testing::RecordingPrompter prompter;
    EXPECT_EQ(InitialiseStore(first(), prompter), base::Outcome::Refused);
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_NE(prompter.messages.back().text.find("不能进行"), std::string::npos);
    EXPECT_EQ(first().Count(), 20);
    second_.reset();
    // The server lets a closed connection go a moment later.
    for (int i = 0; i < 100 && !first_->database().OtherSessions().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(InitialiseStore(first(), prompter), base::Outcome::Done);
    EXPECT_EQ(first().Count(), 0);
}

TEST_F(SharedStore, TheHistoryNamesWhoMadeEachChange) {
    second().MoveTo(4);
    second().SetValue(kName, "改名");
    second().WriteBack();
    const auto lines = first().history().ForProject(std::string(second().Value(kNumberColumn)));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().who, second_->database().User());
}

// Every value of every project, in store order.
std::vector<std::string> Values(RecordSet& records) {
    std::vector<std::string> all;
    records.Reopen();
    for (int p = 1; p <= records.Count(); ++p) {
        const Record row = records.ReadRow(p);
        for (int c = 0; c < kColumnCount; ++c) all.emplace_back(row[c]);
    }
    return all;
}

// Every value of every project and every history line, in store order.
std::vector<std::string> Contents(Store& store) {
    std::vector<std::string> all;
    RecordSet& records = store.records();
    records.Reopen();
    for (int p = 1; p <= records.Count(); ++p) {
        const Record row = records.ReadRow(p);
        for (int c = 0; c < kColumnCount; ++c) all.emplace_back(row[c]);
        for (const auto& line : records.history().ForProject(std::string(row[kNumberColumn])))
            all.push_back(line.time + line.operation + line.column + line.old_value +
                          line.new_value + line.who);
    }
    return all;
}

TEST(StoreMigration, MovesAStoreUpAndDownExactly) {
    if (!testing::OnPostgres()) GTEST_SKIP() << "needs a PostgreSQL database";
    testing::TempDir from, back;
    std::vector<std::string> before;
    {
        Store sqlite(from.path());
        AddDemoProjects(sqlite.records(), 300, 11);
        sqlite.records().MoveTo(7);
        sqlite.records().SetValue(kName, "多行\r\n名称 “引号” '单引号' \\ 反斜杠");
        sqlite.records().WriteBack();
        before = Contents(sqlite);
    }
    testing::RecordingPrompter prompter;
    const std::string database = testing::TestDatabaseFor(from.path());
    ASSERT_EQ(MigrateUp(from.path(), database, prompter), base::Outcome::Done);
    {
        Store server(from.path(), database);
        EXPECT_EQ(Contents(server), before);
    }
    EXPECT_EQ(MigrateUp(from.path(), database, prompter), base::Outcome::Failed)
        << "a filled target is refused";
    ASSERT_EQ(MigrateDown(back.path(), database, prompter), base::Outcome::Done);
    Store again(back.path());
    EXPECT_EQ(Contents(again), before);
}

TEST(PostgresBackups, ABackupIsAnSqliteFileAndRestoresIntoTheServer) {
    if (!testing::OnPostgres()) GTEST_SKIP() << "needs a PostgreSQL database";
    testing::TempDir dir;
    const auto store = testing::OpenTestStore(dir.path());
    AddDemoProjects(store->records(), 50, 5);
    const auto before = Values(store->records());
    testing::RecordingPrompter prompter;
    ASSERT_EQ(BackUpNow(store->records(), prompter), base::Outcome::Done);
    const auto backups = ListBackups(BackupFolder(store->database()));
    ASSERT_EQ(backups.size(), 1u);
    {
        Store copy_of_backup(dir.path());  // the directory's own file is empty
        EXPECT_EQ(copy_of_backup.records().Count(), 0);
    }
    EXPECT_EQ(WithProjectCounts(backups).front().projects, 50);
    store->records().MoveTo(1);
    store->records().Delete();
    ASSERT_EQ(RestoreBackup(store->records(), prompter, backups.front().name), base::Outcome::Done);
    EXPECT_EQ(Values(store->records()), before);
}

// The pipeline prepares its statements once; a failure in the middle of a
// pipeline skips the preparations sent with it, and the next transaction
// must prepare them again rather than name statements that never came to be.
TEST(PostgresPipeline, AFailedTransactionLeavesTheNextOneWorking) {
    if (!testing::OnPostgres()) GTEST_SKIP() << "needs a PostgreSQL database";
    testing::TempDir dir;
    const auto db = testing::OpenTestDatabase(dir.path());
    db->Execute("CREATE TABLE pipeline_probe (n integer PRIMARY KEY)");
    const auto insert = [&](const char* sql, int n) {
        Statement s(*db, sql);
        s.Bind(1, n);
        s.Run();
    };
    const char* plain = "INSERT INTO pipeline_probe (n) VALUES (?1)";
    const char* shifted = "INSERT INTO pipeline_probe (n) VALUES (?1 + 1000)";
    {
        Transaction failing(*db);
        insert(plain, 1);
        insert(plain, 1);    // the same key twice
        insert(shifted, 1);  // first seen after the failure: never prepared
        EXPECT_THROW(failing.Commit(), base::Failure);
    }
    {
        Transaction working(*db);
        for (int n = 1; n <= 300; ++n) insert(plain, n);  // more than one pipeline's worth
        for (int n = 1; n <= 300; ++n) insert(shifted, n);
        working.Commit();
    }
    Statement count(*db, "SELECT count(*), sum(n) FROM pipeline_probe");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(count.Int(0), 600);
    EXPECT_EQ(count.Int(1), 300 * 301 + 300 * 1000);
}

// A read inside a transaction goes with the writes sent before it, in one
// round trip: it sees them, and a failure among them is its failure, after
// which nothing of the transaction stays.
TEST(PostgresPipeline, AReadAfterWaitingWritesSeesThemAndTellsTheirFailure) {
    if (!testing::OnPostgres()) GTEST_SKIP() << "needs a PostgreSQL database";
    testing::TempDir dir;
    const auto db = testing::OpenTestDatabase(dir.path());
    db->Execute("CREATE TABLE pipeline_probe (n integer PRIMARY KEY)");
    const auto insert = [&](int n) {
        Statement s(*db, "INSERT INTO pipeline_probe (n) VALUES (?1)");
        s.Bind(1, n);
        s.Run();
    };
    const auto count = [&] {
        Statement q(*db, "SELECT count(*) FROM pipeline_probe");
        return q.Step() ? q.Int(0) : -1;
    };
    {
        Transaction transaction(*db);
        insert(1);
        insert(2);
        EXPECT_EQ(count(), 2);
        {
            Transaction part(*db);  // a savepoint, sent on without waiting
            insert(3);
            EXPECT_EQ(count(), 3);
        }  // not committed: undone
        insert(2);
        try {
            count();
            ADD_FAILURE() << "the repeated key was not told";
        } catch (const PostgresError& error) {
            EXPECT_EQ(error.state(), "23505");
        }
    }
    EXPECT_EQ(count(), 0);
    Transaction next(*db);
    insert(4);
    next.Commit();
    EXPECT_EQ(count(), 1);
}

// Reads are prepared once per connection; a table dropped and made again
// (a restore) under a prepared read is read as it now is.
TEST(PostgresPipeline, APreparedReadFollowsATableMadeAnew) {
    if (!testing::OnPostgres()) GTEST_SKIP() << "needs a PostgreSQL database";
    testing::TempDir dir;
    const auto db = testing::OpenTestDatabase(dir.path());
    const auto remake = [&](int n) {
        db->Execute("DROP TABLE IF EXISTS pipeline_probe");
        db->Execute("CREATE TABLE pipeline_probe (n integer PRIMARY KEY, t text)");
        Statement s(*db, "INSERT INTO pipeline_probe (n, t) VALUES (?1, ?2)");
        s.Bind(1, n);
        s.Bind(2, "行" + std::to_string(n));
        s.Run();
    };
    const auto text_of = [&](int n) {
        Statement q(*db, "SELECT t FROM pipeline_probe WHERE n = ?1");
        q.Bind(1, n);
        return q.Step() ? std::string(q.Text(0)) : std::string("（无）");
    };
    for (int round = 1; round <= 8; ++round) {  // past the server's switch to a generic plan
        remake(round);
        EXPECT_EQ(text_of(round), "行" + std::to_string(round));
        EXPECT_EQ(text_of(round + 1), "（无）");
    }
}

// The database server ends a connection (a restart, an administrator):
// the statement under way fails with the message that it is lost, the
// next one is served on a connection made anew, and what others changed
// meanwhile is read again, not taken from what was read before.
TEST_F(SharedStore, AConnectionTheServerEndedIsMadeAnewAndReadsAfresh) {
    first().MoveTo(4);
    const std::string before(first().Current()[kName]);
    auto* db = static_cast<PostgresDatabase*>(&first_->database());
    {
        Statement end(second_->database(), "SELECT pg_terminate_backend(?1::int)");
        end.Bind(1, std::to_string(PQbackendPID(db->handle())));
        ASSERT_TRUE(end.Step());
    }
    second().MoveTo(4);
    second().SetValue(kName, "断线期间改的名称");
    second().WriteBack();
    bool lost_told = false;
    for (int i = 0; i < 50 && PQstatus(db->handle()) == CONNECTION_OK; ++i) {
        try {
            Statement probe(*db, "SELECT 1");
            probe.Step();
        } catch (const base::Failure& lost) {
            lost_told = std::string(lost.what()).find("连接已经断开") != std::string::npos;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(lost_told);
    first().MoveTo(4);  // on a connection made anew
    EXPECT_EQ(first().Current()[kName], "断线期间改的名称");
    EXPECT_NE(before, "断线期间改的名称");
}

}  // namespace
}  // namespace zorbix::store

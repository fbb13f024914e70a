// Changes of requests that arrive together are committed together. What
// must hold whatever the grouping: a change is answered only once it is
// committed, a change that fails leaves nothing of itself and takes
// nothing of the others with it, and a commit that fails fails every
// change it held.
#include "server/write_group.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "store/database.h"
#include "tests/server/server_fixture.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;

int Count(store::Database& db, const std::string& sql) {
    store::Statement q(db, sql);
    return q.Step() ? static_cast<int>(q.Int(0)) : -1;
}

class NestedTransactions : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = OpenTestDatabase(dir_.path());
        db_->Execute("CREATE TABLE marks (mark TEXT)");
    }

    void Mark(const std::string& mark) {
        db_->Execute("INSERT INTO marks VALUES ('" + mark + "')");
    }
    int Marks() { return Count(*db_, "SELECT count(*) FROM marks"); }

    TempDir dir_;
    std::unique_ptr<store::Database> db_;
};

TEST_F(NestedTransactions, AFailedInnerOneUndoesOnlyItsOwnWork) {
    store::Transaction outer(*db_);
    Mark("outer");
    try {
        store::Transaction inner(*db_);
        Mark("inner");
        throw std::runtime_error("refused");
    } catch (const std::runtime_error&) {
    }
    {
        store::Transaction kept(*db_);
        Mark("kept");
        kept.Commit();
    }
    outer.Commit();
    EXPECT_EQ(Marks(), 2);
    EXPECT_EQ(Count(*db_, "SELECT count(*) FROM marks WHERE mark = 'inner'"), 0);
}

TEST_F(NestedTransactions, ACommittedInnerOneGoesWithTheOuterRollback) {
    {
        store::Transaction outer(*db_);
        store::Transaction inner(*db_);
        Mark("inner");
        inner.Commit();
    }
    EXPECT_EQ(Marks(), 0);
    EXPECT_TRUE(db_->IsAutocommit());
}

// A group whose commit fails: a deferred check that only the commit runs.
TEST_F(NestedTransactions, AGroupWhoseCommitFailsFailsEveryMemberAndKeepsNothing) {
    if (!OnPostgres()) db_->Execute("PRAGMA foreign_keys=ON");
    db_->Execute("CREATE TABLE units (id INTEGER PRIMARY KEY)");
    db_->Execute(
        "CREATE TABLE links (unit INTEGER REFERENCES units(id) DEFERRABLE INITIALLY DEFERRED)");
    int forgotten = 0;
    server::WriteGroup group(*db_, [&] { ++forgotten; });
    auto first = group.Join();
    Mark("first");
    group.Left(nullptr);
    auto second = group.Join();
    db_->Execute("INSERT INTO links VALUES (7)");  // no unit 7: refused at the commit
    group.Left(nullptr);
    group.Commit();
    for (const auto& outcome : {first, second}) {
        EXPECT_TRUE(outcome->done);
        EXPECT_TRUE(outcome->failure);
    }
    EXPECT_EQ(forgotten, 1);
    EXPECT_EQ(Marks(), 0);
    EXPECT_TRUE(db_->IsAutocommit());

    auto next = group.Join();  // the next group begins afresh
    Mark("next");
    group.Left(nullptr);
    group.Commit();
    EXPECT_FALSE(next->failure);
    EXPECT_EQ(Marks(), 1);
}

class GroupedWrites : public ServerFixture {
protected:
    void SetUp() override {
        store_.With([](server::StoreParts& parts) {
            parts.store.database().Execute("CREATE TABLE marks (mark TEXT)");
        });
        witness_ = OpenTestDatabase(dir_.path());
    }

    static void Mark(server::StoreParts& parts, const std::string& mark) {
        parts.store.database().Execute("INSERT INTO marks VALUES ('" + mark + "')");
    }
    // What another connection sees: only what was committed.
    bool Committed(const std::string& mark) {
        std::lock_guard lock(witness_mutex_);  // one connection, one thread at a time
        return Count(*witness_, "SELECT count(*) FROM marks WHERE mark = '" + mark + "'") == 1;
    }

    std::mutex witness_mutex_;
    std::unique_ptr<store::Database> witness_;
};

// The first change holds the lock until the others queue behind it, so
// they share its group; one of them fails after writing.
TEST_F(GroupedWrites, EachAnsweredChangeIsCommittedAndAFailedOneLeavesNothing) {
    constexpr int kOthers = 6;
    std::atomic<int> started{0};
    std::vector<std::string> faults(kOthers + 1);
    auto change = [&](int i) {
        const std::string mark = "m" + std::to_string(i);
        try {
            store_.Writing([&](server::StoreParts& parts) {
                store::Transaction own(parts.store.database());
                Mark(parts, mark);
                if (i == 0) {
                    while (started < kOthers) std::this_thread::sleep_for(1ms);
                    std::this_thread::sleep_for(20ms);  // they queue meanwhile
                }
                if (i == 3) throw std::runtime_error("refused");
                own.Commit();
                return i;
            });
            if (!Committed(mark)) faults[i] = mark + " answered before its commit";
        } catch (const std::runtime_error&) {
            if (i != 3) faults[i] = mark + " failed";
        }
    };
    std::thread first(change, 0);
    std::this_thread::sleep_for(20ms);
    std::vector<std::thread> others;
    for (int i = 1; i <= kOthers; ++i)
        others.emplace_back([&, i] {
            ++started;
            change(i);
        });
    first.join();
    for (auto& t : others) t.join();
    for (const auto& fault : faults) EXPECT_EQ(fault, "");
    EXPECT_FALSE(Committed("m3"));
    EXPECT_EQ(Count(*witness_, "SELECT count(*) FROM marks"), kOthers);
}

// Changes keep arriving while others run: each request gets its own
// answer, every answered change is committed, and the lead passes on
// without leaving anyone waiting.
TEST_F(GroupedWrites, ManyRequestsChangingAtOnceAreEachAnsweredWithTheirOwnChange) {
    constexpr int kRequests = 24;
    constexpr int kRounds = 25;
    std::vector<std::string> faults(kRequests);
    std::vector<std::thread> requests;
    for (int r = 0; r < kRequests; ++r)
        requests.emplace_back([&, r] {
            for (int round = 0; round < kRounds && faults[r].empty(); ++round) {
                const std::string mark = std::to_string(r) + "-" + std::to_string(round);
                const std::string answer = store_.Writing([&](server::StoreParts& parts) {
                    store::Transaction own(parts.store.database());
                    Mark(parts, mark);
                    own.Commit();
                    return mark;
                });
                if (answer != mark) faults[r] = mark + " answered " + answer;
                if (round % 5 == 0 && !Committed(mark)) faults[r] = mark + " not committed";
            }
        });
    for (auto& t : requests) t.join();
    for (const auto& fault : faults) EXPECT_EQ(fault, "");
    EXPECT_EQ(Count(*witness_, "SELECT count(*) FROM marks"), kRequests * kRounds);
}

}  // namespace
}  // namespace zorbix::testing

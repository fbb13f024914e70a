// A connection keeps its prepared statements for the next cursor of the
// same SQL: what one cursor bound, stepped or failed must never reach the
// next, and two cursors of the same SQL at once must not share one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/sqlite_db.h"
#include "tests/support/temp_dir.h"

namespace zorbix::store {
namespace {

class KeptStatements : public ::testing::Test {
protected:
    void SetUp() override {
        db.Execute("CREATE TABLE t (k TEXT, v INTEGER)");
        db.Execute("INSERT INTO t VALUES ('a', 1), ('b', 2), ('c', 3)");
    }

    std::vector<std::string> Keys(std::string_view sql) {
        Statement q(db, sql);
        std::vector<std::string> keys;
        while (q.Step()) keys.emplace_back(q.Text(0));
        return keys;
    }

    testing::TempDir dir;
    SqliteDatabase db{dir.path() / "kept.db"};
};

TEST_F(KeptStatements, ABindingOfOneCursorDoesNotReachTheNext) {
    const std::string sql = "SELECT k FROM t WHERE k = ?1 OR ?1 IS NULL ORDER BY k";
    {
        Statement first(db, sql);
        first.Bind(1, std::string("b"));
        ASSERT_TRUE(first.Step());
        EXPECT_EQ(first.Text(0), "b");
    }
    // The same SQL again, nothing bound: every row, not the last binding's.
    EXPECT_EQ(Keys(sql), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(KeptStatements, TwoCursorsOfTheSameSqlAtOnceWalkApart) {
    const std::string sql = "SELECT k FROM t ORDER BY k";
    Statement outer(db, sql);
    std::vector<std::string> pairs;
    while (outer.Step()) {
        Statement inner(db, sql);
        while (inner.Step())
            pairs.push_back(std::string(outer.Text(0)) + std::string(inner.Text(0)));
    }
    EXPECT_EQ(pairs.size(), 9u);
    EXPECT_EQ(pairs.front(), "aa");
    EXPECT_EQ(pairs.back(), "cc");
}

TEST_F(KeptStatements, ACursorLeftMidWalkHoldsNoLockForTheNextWrite) {
    const std::string sql = "SELECT k FROM t ORDER BY k";
    {
        Statement half(db, sql);
        ASSERT_TRUE(half.Step());
    }
    // A second connection writes: the kept statement was reset, so no read
    // transaction of this connection stays open and holds it back.
    SqliteDatabase other(dir.path() / "kept.db");
    other.Execute("DELETE FROM t WHERE k = 'a'");
    EXPECT_EQ(Keys(sql), (std::vector<std::string>{"b", "c"}));
}

TEST_F(KeptStatements, AStatementOfADroppedTableFailsAndTheConnectionGoesOn) {
    const std::string sql = "SELECT k FROM t ORDER BY k";
    EXPECT_EQ(Keys(sql).size(), 3u);
    db.Execute("DROP TABLE t");
    EXPECT_THROW(Keys(sql), base::Failure);
    db.Execute("CREATE TABLE t (k TEXT, v INTEGER)");
    db.Execute("INSERT INTO t VALUES ('z', 9)");
    EXPECT_EQ(Keys(sql), std::vector<std::string>{"z"});
}

}  // namespace
}  // namespace zorbix::store

// The progress page's follower of the change history: which projects it
// names after a change, and when it gives up following line by line and
// has the whole store read again.
#include "server/history_follower.h"

#include <gtest/gtest.h>

#include <string>

#include "server/project_history.h"
#include "store/change_history.h"
#include "store/demo_projects.h"
#include "tests/support/param_names.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

using server::HistoryFollower;
using server::HistoryNews;

class HistoryFollowing : public ::testing::Test {
protected:
    HistoryFollowing() : store_(OpenTestStore(dir_.path())) {
        for (int i = 0; i < 3; ++i) records().AddNew(store::MakeDemoProject(Number(i), 7 + i));
        Follow();  // the first look: everything
    }

    static std::string Number(int i) { return "20130000010" + std::to_string(i); }
    store::RecordSet& records() { return store_->records(); }
    store::Database& db() { return store_->database(); }
    store::ChangeHistory& history() { return records().history(); }

    // Looks and takes the news in, as a progress call does.
    HistoryNews Follow() {
        HistoryNews news = follower_.Look(db());
        follower_.Accept();
        return news;
    }
    void Note(const std::string& number, std::string_view operation = "网页退回") {
        history().LogNote(operation, number, server::kStateColumn, "已上报", "退回修改");
    }
    void Edit(int position, const char* column, const char* value) {
        records().MoveTo(position);
        records().SetValue(column, value);
        records().WriteBack();
    }

    TempDir dir_;
    std::unique_ptr<store::Store> store_;
    HistoryFollower follower_;
};

TEST_F(HistoryFollowing, TheFirstLookReadsEverythingAndTheNextNothing) {
    HistoryFollower fresh;
    EXPECT_TRUE(fresh.Look(db()).everything);
    const HistoryNews quiet = Follow();
    EXPECT_FALSE(quiet.everything);
    EXPECT_TRUE(quiet.projects.empty());
}

TEST_F(HistoryFollowing, AnEditNamesItsProjectOnly) {
    records().MoveTo(2);
    const std::string number(records().Value("JB02"));
    Edit(2, "JF1002", "4321");
    const HistoryNews news = Follow();
    EXPECT_FALSE(news.everything);
    EXPECT_EQ(news.projects, std::set<std::string>{number});
    EXPECT_TRUE(news.submitted.empty());
    EXPECT_TRUE(Follow().projects.empty()) << "taken in once";
}

TEST_F(HistoryFollowing, ASubmissionThroughTheServerIsCountedOnItsDay) {
    history().LogNote(server::kWebSubmit, Number(1), server::kStateColumn, "填报中", "已上报");
    Note(Number(2));  // a return: no submission
    const HistoryNews news = Follow();
    ASSERT_FALSE(news.everything);
    EXPECT_EQ(news.projects, (std::set<std::string>{Number(1), Number(2)}));
    ASSERT_EQ(news.submitted.size(), 1u);
    EXPECT_EQ(news.submitted[0].number, Number(1));
    EXPECT_EQ(news.submitted[0].date.size(), 10u) << news.submitted[0].date;
}

TEST_F(HistoryFollowing, NewsNotAcceptedComesAgain) {
    Note(Number(0));
    EXPECT_EQ(follower_.Look(db()).projects.size(), 1u);
    EXPECT_EQ(follower_.Look(db()).projects.size(), 1u);
    follower_.Forget();
    EXPECT_TRUE(follower_.Look(db()).everything);
}

TEST_F(HistoryFollowing, ARemovedProjectIsNamed) {
    records().MoveTo(1);
    const std::string number(records().Value("JB02"));
    records().Delete();
    const HistoryNews news = Follow();
    EXPECT_FALSE(news.everything);
    EXPECT_EQ(news.projects, std::set<std::string>{number});
}

// Changes a follower cannot follow project by project.
struct Unfollowable {
    const char* name;
    void (*change)(store::RecordSet& records, store::Database& db);
};

void Restore(store::RecordSet& records, store::Database&) {
    records.history().LogAllAdded(store::operation::kRestore);
}
void Renumber(store::RecordSet& records, store::Database&) {
    records.MoveTo(1);
    records.SetValue("JB02", "201300000999");
    records.WriteBack();
}
void ManyProjects(store::RecordSet& records, store::Database&) {
    for (std::size_t i = 0; i <= HistoryFollower::kMostProjects; ++i)
        records.history().LogNote("网页审核", "2013" + std::to_string(10000000 + i), "填报状态",
                                  "已上报", "已审核");
}
void LineWithoutProject(store::RecordSet& records, store::Database&) {
    records.history().LogNote("网页审核", "", "填报状态", "已上报", "已审核");
}
const std::string kHistory = store::kHistoryTable;

// The oldest line gone: a history replaced or cut short.
void OldestLineGone(store::RecordSet&, store::Database& db) {
    db.Execute("DELETE FROM " + kHistory + " WHERE id = (SELECT min(id) FROM " + kHistory + ")");
}
// The newest lines gone (an older history restored): the next line's id
// lies below the last one seen.
void NewestLinesGone(store::RecordSet&, store::Database& db) {
    db.Execute("DELETE FROM " + kHistory + " WHERE id > (SELECT min(id) FROM " + kHistory + ")");
}
// A line whose id is below the last one seen, committed after the look
// (two writers of one PostgreSQL store): it fills the gap the suite left
// below the last line, and only the count tells.
void LateLine(store::RecordSet&, store::Database& db) {
    db.Execute("INSERT INTO " + kHistory +
               " (id, time, operation, project, column_name, old_value, new_value, who)"
               " SELECT max(id) - 1, '2013-12-05 10:00:00', '网页退回', '201300000100', '填报状态',"
               " '已上报', '退回修改', 'x' FROM " +
               kHistory);
}

void PrintTo(const Unfollowable& change, std::ostream* out) { *out << change.name; }

class UnfollowableChange : public HistoryFollowing,
                           public ::testing::WithParamInterface<Unfollowable> {};

TEST_P(UnfollowableChange, ReadsEverythingAgain) {
    // Followed as usual first; a gap below the last line, as a writer that
    // has not committed yet leaves one.
    Note(Number(0));
    Note(Number(1));
    db().Execute("DELETE FROM " + kHistory + " WHERE id = (SELECT max(id) - 1 FROM " + kHistory +
                 ")");
    ASSERT_FALSE(Follow().everything);
    GetParam().change(records(), db());
    EXPECT_TRUE(Follow().everything);
    Note(Number(2));
    const HistoryNews next = Follow();
    EXPECT_FALSE(next.everything) << "and follows again afterwards";
    EXPECT_EQ(next.projects, std::set<std::string>{Number(2)});
}

INSTANTIATE_TEST_SUITE_P(Changes, UnfollowableChange,
                         ::testing::Values(Unfollowable{"Restore", Restore},
                                           Unfollowable{"Renumber", Renumber},
                                           Unfollowable{"ManyProjects", ManyProjects},
                                           Unfollowable{"LineWithoutProject", LineWithoutProject},
                                           Unfollowable{"OldestLineGone", OldestLineGone},
                                           Unfollowable{"NewestLinesGone", NewestLinesGone},
                                           Unfollowable{"LateLine", LateLine}),
                         NameMember());

}  // namespace
}  // namespace zorbix::testing

// The review notes beside kjxmzxqk: a return's comments and the values
// the project held then.
#include "accounts/review_notes.h"

#include <gtest/gtest.h>

#include "tests/accounts/accounts_fixture.h"

namespace zorbix::testing {
namespace {

using namespace accounts;

using ReviewNotesTable = AccountsFixture;

TEST_F(ReviewNotesTable, AProjectNeverReturnedHasNoNotes) {
    ReviewNotes notes(db_);
    EXPECT_EQ(notes.CommentsOf("201300000001").project, "");
    EXPECT_TRUE(notes.CommentsOf("201300000001").fields.empty());
    EXPECT_TRUE(notes.ValuesAtReturn("201300000001").empty());
}

TEST_F(ReviewNotesTable, ANewReturnReplacesTheNotesWhole) {
    ReviewNotes notes(db_);
    notes.SetComments("201300000001", {"请核实", {{"JB22", "数额有误"}, {"JB03", "缺少"}}});
    notes.SetValuesAtReturn("201300000001", {{"JB01", "名称"}, {"JB22", "12"}});
    notes.SetComments("201300000002", {"另一项", {}});
    notes.SetComments("201300000001", {"再核实", {{"JB03", "仍缺少"}}});
    notes.SetValuesAtReturn("201300000001", {{"JB01", "新名称"}});

    const ReviewComments comments = notes.CommentsOf("201300000001");
    EXPECT_EQ(comments.project, "再核实");
    EXPECT_EQ(comments.fields, (std::map<std::string, std::string>{{"JB03", "仍缺少"}}));
    EXPECT_EQ(notes.ValuesAtReturn("201300000001"),
              (std::map<std::string, std::string>{{"JB01", "新名称"}}));
    EXPECT_EQ(notes.CommentsOf("201300000002").project, "另一项");
}

}  // namespace
}  // namespace zorbix::testing

// The owner and state tables beside kjxmzxqk.
#include <gtest/gtest.h>

#include "accounts/project_owners.h"
#include "accounts/project_states.h"
#include "tests/accounts/accounts_fixture.h"

namespace zorbix::testing {
namespace {

using namespace accounts;

using ProjectTables = AccountsFixture;

TEST_F(ProjectTables, OwnersAreSetAndMoved) {
    ProjectOwners owners(db_);
    EXPECT_EQ(owners.OwnerOf("201300000001"), std::nullopt);
    owners.SetOwner("201300000001", "甲单位");
    EXPECT_EQ(owners.OwnerOf("201300000001"), "甲单位");
    EXPECT_TRUE(owners.Owns("甲单位", "201300000001"));
    EXPECT_FALSE(owners.Owns("乙单位", "201300000001"));
    owners.SetOwner("201300000001", "乙单位");
    EXPECT_TRUE(owners.Owns("乙单位", "201300000001"));
    EXPECT_EQ(owners.All().size(), 1u);
}

TEST_F(ProjectTables, AProjectWithoutAStateHasNotBeenStarted) {
    ProjectStates states(db_);
    EXPECT_EQ(states.StateOf("201300000001"), ProjectState::NotStarted);
    states.SetState("201300000001", ProjectState::Drafting);
    states.SetState("201300000001", ProjectState::Submitted);
    EXPECT_EQ(states.StateOf("201300000001"), ProjectState::Submitted);
    EXPECT_EQ(StateCaption(ProjectState::Returned), "退回修改");
    EXPECT_TRUE(UnitMayEdit(ProjectState::Returned));
    EXPECT_FALSE(UnitMayEdit(ProjectState::Approved));
    EXPECT_EQ(states.All().at("201300000001"), ProjectState::Submitted);
}

TEST_F(ProjectTables, CreatingTheTablesAgainKeepsWhatTheyHold) {
    ProjectOwners(db_).SetOwner("201300000001", "甲单位");
    CreateServerTables(db_);
    EXPECT_EQ(ProjectOwners(db_).OwnerOf("201300000001"), "甲单位");
}

}  // namespace
}  // namespace zorbix::testing

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

// A unit's change reads owner and state together: another unit's project
// and a missing one give nothing, and neither do prefixes or blanks.
TEST_F(ProjectTables, AStateIsReadOnlyForTheOwningUnit) {
    ProjectOwners owners(db_);
    ProjectStates states(db_);
    owners.SetOwner("201300000001", "甲单位");
    owners.SetOwner("201300000002", "甲单位");
    states.SetState("201300000002", ProjectState::Returned);
    owners.SetOwner("201300000003", "乙单位");
    const struct {
        const char* unit;
        const char* project;
        std::optional<ProjectState> state;
    } cases[] = {
        {"甲单位", "201300000001", ProjectState::NotStarted},
        {"甲单位", "201300000002", ProjectState::Returned},
        {"甲单位", "201300000003", std::nullopt},
        {"乙单位", "201300000003", ProjectState::NotStarted},
        {"乙单位", "201300000002", std::nullopt},
        {"甲单位", "201300000009", std::nullopt},
        {"甲单位", "20130000000", std::nullopt},
        {"甲单位", "201300000001 ", std::nullopt},
        {"甲单位 ", "201300000001", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(states.StateIfOwnedBy(c.unit, c.project), c.state) << c.unit << " " << c.project;
}

TEST_F(ProjectTables, CreatingTheTablesAgainKeepsWhatTheyHold) {
    ProjectOwners(db_).SetOwner("201300000001", "甲单位");
    CreateServerTables(db_);
    EXPECT_EQ(ProjectOwners(db_).OwnerOf("201300000001"), "甲单位");
}

}  // namespace
}  // namespace zorbix::testing

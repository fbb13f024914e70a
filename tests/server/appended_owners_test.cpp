// Which unit a project appended from an exchange file belongs to: the
// plan's unit for its number first, then the unit it names itself.
#include "server/appended_owners.h"

#include <gtest/gtest.h>

#include "tests/support/param_names.h"

namespace zorbix::server {
namespace {

struct OwnerCase {
    std::string name;
    std::string number;
    std::string carried;  // the project's unit column
    std::optional<std::string> owner;
};

void PrintTo(const OwnerCase& c, std::ostream* out) { *out << c.name; }

const std::map<std::string, std::string> kPlanned = {{"201300000001", "甲单位"}};
const std::set<std::string> kUnits = {"甲单位", "乙单位", " 丁单位 "};

const OwnerCase kCases[] = {
    {"PlannedNumberGoesToThePlansUnit", "201300000001", "乙单位", "甲单位"},
    {"PlannedNumberWithBlanksStillPlanned", " 201300000001 ", "乙单位", "甲单位"},
    {"UnplannedGoesToTheUnitItNames", "201300000002", "乙单位", "乙单位"},
    {"BlanksAroundTheNamedUnitDoNotCount", "201300000002", "  乙单位 ", "乙单位"},
    {"TheUnitsTablesSpellingIsKept", "201300000002", "丁单位", " 丁单位 "},
    {"AUnitWithoutAccountYetIsStillItsUnit", "201300000002", "丙单位", "丙单位"},
    {"NoUnitNamedBelongsToNone", "201300000002", "", std::nullopt},
    {"OnlyBlanksBelongToNone", "201300000002", "   ", std::nullopt},
};

class AppendedOwner : public ::testing::TestWithParam<OwnerCase> {};

TEST_P(AppendedOwner, FollowsThePlanThenTheProjectsOwnUnit) {
    const OwnerCase& c = GetParam();
    EXPECT_EQ(OwnerOfAppended(c.number, c.carried, kPlanned, kUnits), c.owner);
}

INSTANTIATE_TEST_SUITE_P(Cases, AppendedOwner, ::testing::ValuesIn(kCases), testing::NameMember());

TEST(PlannedUnits, NumbersAndUnitsAreTrimmedAndUnitlessLinesLeftOut) {
    reconcile::PlannedProject with_unit;
    with_unit.number_text = " 201300000001";
    with_unit.details = {"名称", " 甲单位 ", "处"};
    reconcile::PlannedProject without_unit;
    without_unit.number_text = "201300000002";
    without_unit.details = {"名称", "  ", "处"};
    EXPECT_EQ(PlannedUnits({with_unit, without_unit}),
              (std::map<std::string, std::string>{{"201300000001", "甲单位"}}));
}

}  // namespace
}  // namespace zorbix::server

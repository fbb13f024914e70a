// Duplicate project numbers compared by value, as the survey compares them.
#include "exchange/project_number_index.h"

#include <gtest/gtest.h>

#include "base/numeric_value.h"
#include "tests/support/param_names.h"

namespace zorbix::exchange {
namespace {

struct DuplicateCase {
    const char* name;
    const char* stored;
    const char* incoming;
    bool same;
};

void PrintTo(const DuplicateCase& c, std::ostream* os) { *os << c.name; }

class Duplicate : public ::testing::TestWithParam<DuplicateCase> {};

TEST_P(Duplicate, ComparesByValue) {
    const auto& c = GetParam();
    const ProjectNumberIndex index({"100000000000", c.stored, "900000000000"});
    const auto found = index.Find(base::NumericValue(c.incoming));
    EXPECT_EQ(found.has_value() && *found == 2, c.same);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, Duplicate,
    ::testing::Values(DuplicateCase{"SameText", "201300000001", "201300000001", true},
                      DuplicateCase{"LeadingZero", "201300000001", "0201300000001", true},
                      DuplicateCase{"TrailingBlank", "201300000001", "201300000001 ", true},
                      DuplicateCase{"LeadingBlanks", "201300000001", "  201300000001", true},
                      DuplicateCase{"BothWithoutDigits", "ABCDEFGHIJKL", "XYZ",
                                    true},  // both have the value 0
                      DuplicateCase{"EmptyAndText", "", "项目", true},
                      DuplicateCase{"NextNumber", "201300000001", "201300000002", false},
                      DuplicateCase{"OneDigitShorter", "201300000001", "20130000000", false},
                      DuplicateCase{"Fractions105And11", "1.05", "1.1", true},
                      DuplicateCase{"Fractions10And11", "1.0", "1.1", false}),
    testing::NameMember());

TEST(ProjectNumberIndex, FindsTheFirstPositionInSetOrder) {
    const ProjectNumberIndex index({"5", "05", "005"});
    EXPECT_EQ(index.Find(5.0), 1);
}

TEST(ProjectNumberIndex, RecordsAddedInTheRunTakePart) {
    ProjectNumberIndex index({});
    EXPECT_FALSE(index.Find(201300000001.0));
    index.Add(201300000001.0, 1);
    EXPECT_EQ(index.Find(base::NumericValue("0201300000001")), 1);
    EXPECT_FALSE(index.Find(201300000002.0));
}

}  // namespace
}  // namespace zorbix::exchange

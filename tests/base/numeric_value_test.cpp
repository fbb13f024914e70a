#include "base/numeric_value.h"

#include <gtest/gtest.h>

namespace zorbix::base {
namespace {

struct Case {
    const char* text;
    double value;
};

class NumericValueTest : public ::testing::TestWithParam<Case> {};

TEST_P(NumericValueTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(NumericValue(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericValueTest,
    ::testing::Values(Case{"", 0}, Case{"3.拖延", 3}, Case{"2.否", 2}, Case{"2012-05", 2012},
                      Case{"  42", 42}, Case{"-7", -7}, Case{"+8", 8}, Case{"1.5.6", 1.5},
                      Case{".5", 0.5}, Case{"-.25x", -0.25}, Case{"12 34", 12}, Case{"abc", 0},
                      Case{"-", 0}, Case{".", 0}, Case{"10.", 10}, Case{"1e5", 1},
                      Case{"001234", 1234}, Case{"\t5", 0}, Case{"201301000001", 201301000001.0},
                      Case{"2201-2203.科技成果转化", 2201}, Case{"99999999999999999999", 1e20}));

}  // namespace
}  // namespace zorbix::base

#include "base/numeric_value.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "tests/support/param_names.h"

namespace zorbix::base {
namespace {

struct Case {
    const char* name;
    const char* text;
    double value;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class NumericValueTest : public ::testing::TestWithParam<Case> {};

TEST_P(NumericValueTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(NumericValue(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericValueTest,
    ::testing::Values(
        Case{"Empty", "", 0}, Case{"CodeThenText", "3.拖延", 3}, Case{"CodeThenNo", "2.否", 2},
        Case{"YearAndMonth", "2012-05", 2012}, Case{"LeadingBlanks", "  42", 42},
        Case{"Negative", "-7", -7}, Case{"Plus", "+8", 8}, Case{"SecondPointEnds", "1.5.6", 1.5},
        Case{"NoLeadingZero", ".5", 0.5}, Case{"NegativeFractionThenText", "-.25x", -0.25},
        Case{"BlankEnds", "12 34", 12}, Case{"NoDigits", "abc", 0}, Case{"OnlyMinus", "-", 0},
        Case{"OnlyPoint", ".", 0}, Case{"TrailingPoint", "10.", 10}, Case{"NoExponent", "1e5", 1},
        Case{"LeadingZeros", "001234", 1234}, Case{"TabIsNoBlank", "\t5", 0},
        Case{"ProjectNumber", "201301000001", 201301000001.0},
        Case{"CodeRangeThenText", "2201-2203.科技成果转化", 2201},
        Case{"TwentyNines", "99999999999999999999", 1e20}),
    testing::NameMember());

// Short numbers are read without from_chars: the value is the same double
// to the last bit, for every length and place of the point.
TEST(NumericValue, ShortNumbersReadAsFromCharsReadsThem) {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int n = 0; n < 200000; ++n) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        std::string text = std::to_string(state % 10000000000000000ull);
        text.resize(1 + state % text.size());
        const std::size_t point = (state >> 20) % (text.size() + 2);
        if (point <= text.size()) text.insert(point, ".");
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        const double read = NumericValue(text);
        ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << text;
        const double negative = NumericValue("-" + text);
        ASSERT_EQ(negative, -expected) << text;
    }
}

}  // namespace
}  // namespace zorbix::base

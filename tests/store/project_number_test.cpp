#include "store/project_number.h"

#include <gtest/gtest.h>

#include "base/numeric_value.h"

namespace zorbix::store {
namespace {

using base::NumericValue;

TEST(SameProjectNumber, DiffersByLessThanATenth) {
    EXPECT_TRUE(
        SameProjectNumber(base::NumericValue("000123456789"), base::NumericValue("123456789 ")));
    EXPECT_TRUE(SameProjectNumber(base::NumericValue("abcdefghijkl"), base::NumericValue("")));
    EXPECT_FALSE(
        SameProjectNumber(base::NumericValue("201300000001"), base::NumericValue("201300000002")));
    EXPECT_TRUE(SameProjectNumber(1.0, 1.09));
    EXPECT_FALSE(SameProjectNumber(1.0, 1.1));
}

struct LocateCase {
    const char* wanted;
    const char* stored;
    bool found;
};

// Numbers by value; texts without a digit only as themselves.
constexpr LocateCase kLocateCases[] = {
    {"201300000001", "201300000001", true},
    {"0201300000001", "201300000001", true},
    {"201300000001 ", "201300000001", true},
    {"201300000001", "201300000002", false},
    {"2013模板", "2013", true},
    {"nothing-like-this", "abcdefghijkl", false},
    {"nothing-like-this", "", false},
    {"", "abcdefghijkl", false},
    {"", "", true},
    {"../x", "测试项目", false},
    {"测试项目", "测试项目", true},
    {"  测试项目 ", "测试项目  ", true},
    {"abcdefghijkl", "ABCDEFGHIJKL", false},
};

TEST(LocateKey, FindsNumbersByValueAndOtherTextsOnlyAsThemselves) {
    for (const auto& c : kLocateCases)
        EXPECT_EQ(LocateKey(c.wanted).Matches(c.stored), c.found)
            << "\"" << c.wanted << "\" in \"" << c.stored << "\"";
}

}  // namespace
}  // namespace zorbix::store

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

}  // namespace
}  // namespace zorbix::store

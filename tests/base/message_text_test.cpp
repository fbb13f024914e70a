// Messages made from one template with placeholders.
#include "base/message_text.h"

#include <gtest/gtest.h>

namespace zorbix::base {
namespace {

TEST(MessageText, PutsEachArgumentInItsPlaceholder) {
    EXPECT_EQ(MessageText("共{1}个项目，其中{2}个失败", {"12", "3"}), "共12个项目，其中3个失败");
    EXPECT_EQ(MessageText("“{2}”与“{1}”", {"甲", "乙"}), "“乙”与“甲”");
    EXPECT_EQ(MessageText("{1}{1}", {"ab"}), "abab");
}

TEST(MessageText, LeavesOtherBracesAsTheyAre) {
    EXPECT_EQ(MessageText("{0} {3} {x} { {1", {"a", "b"}), "{0} {3} {x} { {1");
    EXPECT_EQ(MessageText("", {}), "");
    EXPECT_EQ(MessageText("a{", {"b"}), "a{");
}

}  // namespace
}  // namespace zorbix::base

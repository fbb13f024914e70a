#include "app/cli/escape.h"

#include <gtest/gtest.h>

namespace zorbix::cli {
namespace {

TEST(Escape, RoundTripsEveryEscapedCharacter) {
    const std::string value = "a\\b\r\nc\td 中文 \"q\"";
    EXPECT_EQ(Escape(value), "a\\\\b\\r\\nc\\td 中文 \"q\"");
    EXPECT_EQ(Unescape(Escape(value)), value);
}

TEST(Escape, RefusesUnknownOrCutEscapes) {
    EXPECT_FALSE(Unescape("a\\x"));
    EXPECT_FALSE(Unescape("a\\"));
    EXPECT_EQ(Unescape("plain"), "plain");
}

}  // namespace
}  // namespace zorbix::cli

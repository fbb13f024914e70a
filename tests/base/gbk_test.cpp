#include "base/gbk.h"

#include <gtest/gtest.h>

namespace zorbix::base {
namespace {

TEST(Gbk, RoundTripsChineseText) {
    const std::string text = "项目名称(JH01)：洛安市\r\n第二行";
    const std::string gbk = ToGbk(text);
    EXPECT_EQ(gbk.substr(0, 4), "\xCF\xEE\xC4\xBF");  // 项目
    EXPECT_EQ(FromGbk(gbk), text);
}

TEST(Gbk, CountsBytesAsGbkDoes) {
    EXPECT_EQ(GbkLength("1.留学归国人员"), 14u);
    EXPECT_EQ(GbkLength("1.研究生"), 8u);
    EXPECT_EQ(GbkLength("1.男"), 4u);
    EXPECT_EQ(GbkLength("€"), 1u);  // one byte (0x80) in glibc's GBK
    EXPECT_EQ(GbkLength(""), 0u);
}

TEST(Gbk, CutsWithoutSplittingACharacter) {
    EXPECT_EQ(CutToGbkBytes("1.研究生", 8), "1.研究生");
    EXPECT_EQ(CutToGbkBytes("1.研究生", 7), "1.研究");
    EXPECT_EQ(CutToGbkBytes("1.研究生", 3), "1.");
    EXPECT_EQ(CutToGbkBytes("abc", 0), "");
    EXPECT_EQ(CutToGbkBytes("ab€c", 3), "ab€");
}

TEST(Gbk, RefusesWhatItCannotHoldInsteadOfDroppingIt) {
    try {
        ToGbk("ok😀");
        FAIL() << "an emoji has no GBK form";
    } catch (const GbkError& e) {
        EXPECT_EQ(e.offset(), 2u);
        EXPECT_NE(std::string(e.what()).find("😀"), std::string::npos);
    }
    EXPECT_THROW(ToGbk("\xFF\xFE"), GbkError);
}

TEST(Gbk, RefusesBytesThatAreNotGbk) {
    EXPECT_THROW(FromGbk("\xCF\xEE\xC4"), GbkError);  // a character cut off at the end
    EXPECT_THROW(FromGbk("ab\xFF\xFF"), GbkError);
    try {
        FromGbk("ab\xCF");
    } catch (const GbkError& e) {
        EXPECT_NE(std::string(e.what()).find("不完整"), std::string::npos);
    }
}

}  // namespace
}  // namespace zorbix::base

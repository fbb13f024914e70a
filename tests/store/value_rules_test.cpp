// What a stored value may hold, and how an older value is mended.
#include "store/value_rules.h"

#include <gtest/gtest.h>

#include "store/catalogue.h"

namespace zorbix::store {
namespace {

struct ValueCase {
    const char* name;
    const char* column;
    std::string value;
    const char* fault;  // a part of the fault's words; nullptr for a value that may be stored
    std::string mended;
};

std::string Repeated(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

const ValueCase kCases[] = {
    {"PlainText", "JB01", "新型材料研究", nullptr, "新型材料研究"},
    {"OverItsColumnLimitIsNoFault", "JB01", Repeated("长", 400), nullptr, Repeated("长", 400)},
    {"ResultsLineEnds", "JDCG", "第一行\r\n第二行", nullptr, "第一行\r\n第二行"},
    {"Tab", "JB01", "a\tb", "U+0009，制表符", "a b"},
    {"LineEndOutsideTheResults", "JB01", "a\r\nb", "U+000D，回车符", "a  b"},
    {"LoneFeedInTheResults", "JDCG", "a\nb", "换行必须是回车加换行", "a\r\nb"},
    {"LoneReturnInTheResults", "JDCG", "a\rb", "U+000D", "a\r\nb"},
    {"Nul", "JB01", std::string("a\0b", 3), "U+0000", "a b"},
    {"Delete", "JB01", "a\x7f", "U+007F", "a "},
    {"C1Control", "JB01", "a\xc2\x85", "U+0085", "a "},
    {"NotUtf8", "JB01", "a\xff", "不是UTF-8编码的字节（第2字节）", "a?"},
    {"CutUtf8", "JB01", "a\xe4\xb8", "不是UTF-8编码的字节", "a??"},
    {"OutsideGbk", "JB01", "材料\xf0\x9f\x98\x80", "GBK编码中没有的字符“\xf0\x9f\x98\x80”",
     "材料?"},
    {"EuroIsGbk", "JB01", "\xe2\x82\xac", nullptr, "\xe2\x82\xac"},
    {"LongerThanACell", "JDCG", Repeated("x", 32768), "有32768个字符", Repeated("x", 32767)},
    {"AsLongAsACell", "JDCG", Repeated("汉", 32767), nullptr, Repeated("汉", 32767)},
};

class ValueRulesTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueRulesTest, FaultAndMending) {
    const ValueCase& c = GetParam();
    const Column& column = ColumnNamed(c.column);
    const auto fault = ValueFault(column, c.value);
    if (c.fault) {
        ASSERT_TRUE(fault);
        EXPECT_NE(fault->find(c.fault), std::string::npos) << *fault;
    } else {
        EXPECT_FALSE(fault) << *fault;
    }
    const MendedValue mended = MendValue(column, c.value);
    EXPECT_EQ(mended.value, c.mended);
    EXPECT_EQ(mended.what.empty(), c.fault == nullptr) << mended.what;
    EXPECT_FALSE(ValueFault(column, mended.value));
}

INSTANTIATE_TEST_SUITE_P(Values, ValueRulesTest, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Text known to be GBK passes the quick screen exactly where the whole rule
// finds nothing.
TEST(GbkTextFault, AgreesWithTheRuleOnGbkText) {
    for (const ValueCase& c : kCases) {
        const std::string name = c.name;
        if (name == "NotUtf8" || name == "CutUtf8" || name == "OutsideGbk") continue;
        const Column& column = ColumnNamed(c.column);
        EXPECT_EQ(GbkTextFault(column, c.value), ValueFault(column, c.value)) << name;
    }
}

TEST(ValuePlace, NamesTheProjectAndTheColumnWithItsCaption) {
    EXPECT_EQ(ValuePlace("201300000001", ColumnNamed("JB01")),
              "项目“201300000001”的JB01（" + ColumnNamed("JB01").caption + "）");
}

}  // namespace
}  // namespace zorbix::store

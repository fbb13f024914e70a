// Splitting the text of exchange files into fields, including layouts other
// programs write (line ends between fields, unquoted fields).
#include "exchange/field_reader.h"

#include <gtest/gtest.h>

#include "tests/support/param_names.h"

namespace zorbix::exchange {
namespace {

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> fields;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::string> Split(std::string_view text) {
    std::vector<std::string> out;
    FieldReader reader(text);
    while (const auto field = reader.Next()) out.emplace_back(field->text);
    return out;
}

class FieldSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(FieldSplit, GivesTheseFields) { EXPECT_EQ(Split(GetParam().text), GetParam().fields); }

INSTANTIATE_TEST_SUITE_P(
    Layouts, FieldSplit,
    ::testing::Values(SplitCase{"AsWritten", "\"a\",\"b\",", {"a", "b"}},
                      SplitCase{"CommaThenLineEnd", "\"a\",\r\n\"b\",\r\n", {"a", "b"}},
                      SplitCase{"LineEndsOnly", "\"a\"\r\n\"b\"\n\"c\"", {"a", "b", "c"}},
                      SplitCase{"Unquoted", "a,b\r\nc", {"a", "b", "c"}},
                      SplitCase{"UnquotedKeepsTrailingBlank", "  a ,b", {"a ", "b"}},
                      SplitCase{"Placeholders", "\" \",\".\",", {" ", "."}},
                      SplitCase{"CommaInsideQuotes", "\"a,b\",c", {"a,b", "c"}},
                      SplitCase{"LineBreakInsideQuotes", "\"l1\r\nl2\",\"x\",", {"l1\r\nl2", "x"}},
                      SplitCase{"JunkAfterClosingQuoteDropped", "\"a\"junk,\"b\",", {"a", "b"}},
                      SplitCase{"EmptyUnquoted", ",,", {"", ""}},
                      SplitCase{"Mixed", "\"a\",b,\r\n  \"c d\" ,e\n", {"a", "b", "c d", "e"}},
                      SplitCase{"OnlyBlanks", " \r\n \n", {}}),
    testing::NameMember());

TEST(FieldReader, UnclosedQuoteIsAnIncompleteField) {
    FieldReader reader("\"a\",\"cut off");
    EXPECT_TRUE(reader.Next()->complete);
    const auto last = reader.Next();
    ASSERT_TRUE(last);
    EXPECT_FALSE(last->complete);
    EXPECT_EQ(last->text, "cut off");
    EXPECT_FALSE(reader.Next());
}

TEST(FieldReader, TellsQuotedFromUnquoted) {
    FieldReader reader("\"a\",b,");
    EXPECT_TRUE(reader.Next()->quoted);
    EXPECT_FALSE(reader.Next()->quoted);
    EXPECT_TRUE(reader.AtEnd());
}

}  // namespace
}  // namespace zorbix::exchange

// The exact bytes of written exchange records: other copies of the survey
// program read these files.
#include "exchange/exchange_writer.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "store/catalogue.h"
#include "tests/support/param_names.h"

namespace zorbix::exchange {
namespace {

std::string Repeat(std::string_view field, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += field;
    return out;
}

store::Record RecordWith(std::string_view column, std::string_view value) {
    store::Record record(store::Row(store::kColumnCount));
    record.Set(store::ColumnIndex(column), value);
    return record;
}

TEST(ExchangeWriter, EmptyRecordIsOnePlaceholderPerField) {
    const store::Record empty(store::Row(store::kColumnCount));
    EXPECT_EQ(RecordBytes(empty, kSubmitPlaceholder), Repeat("\" \",", 137));
    EXPECT_EQ(RecordBytes(empty, kDistributePlaceholder), Repeat("\".\",", 137));
}

TEST(ExchangeWriter, FieldsStandInTableOrderWithNoLineEnd) {
    store::Row row(store::kColumnCount);
    for (int c = 0; c < store::kColumnCount; ++c) row[c] = std::to_string(c);
    const std::string bytes = RecordBytes(store::Record(row), kSubmitPlaceholder);
    std::string expected;
    for (int c = 0; c < store::kColumnCount; ++c) expected += "\"" + std::to_string(c) + "\",";
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.find('\n'), std::string::npos);
    EXPECT_EQ(bytes.back(), ',');
}

struct FieldCase {
    const char* column;
    const char* value;
    std::string expected_field;  // bytes of that field as written
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.column; }

class WrittenField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(WrittenField, HasExactlyTheseBytes) {
    const FieldCase& c = GetParam();
    const std::string bytes = RecordBytes(RecordWith(c.column, c.value), kSubmitPlaceholder);
    const int index = store::ColumnIndex(c.column);
    const std::string expected =
        Repeat("\" \",", index) + c.expected_field + Repeat("\" \",", 136 - index);
    EXPECT_EQ(bytes, expected);
}

INSTANTIATE_TEST_SUITE_P(Values, WrittenField,
                         ::testing::Values(
                             // 中文 in GBK is D6D0 CEC4.
                             FieldCase{"JB01", "中文项目", "\"\xD6\xD0\xCE\xC4\xCF\xEE\xC4\xBF\","},
                             FieldCase{"JDCG", "第一行\r\n2", "\"\xB5\xDA\xD2\xBB\xD0\xD0\r\n2\","},
                             FieldCase{"JB03", "say \"hi\"", "\"say 'hi'\","},
                             FieldCase{"JB02", "201300000001", "\"201300000001\","},
                             FieldCase{"BY3", "a,b", "\"a,b\","},
                             FieldCase{"JB05", "\"", "\"'\","}),
                         [](const auto& test) { return std::string(test.param.column); });

TEST(ExchangeWriter, CharacterOutsideGbkNamesTheProject) {
    store::Record record = RecordWith("JB01", "表情😀");
    record.Set(store::ColumnIndex("JB02"), "201300000009");
    try {
        RecordBytes(record, kSubmitPlaceholder);
        FAIL() << "no failure";
    } catch (const base::Failure& e) {
        EXPECT_NE(std::string(e.what()).find("201300000009"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("😀"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace zorbix::exchange

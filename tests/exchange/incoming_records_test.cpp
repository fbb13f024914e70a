// Reading exchange files as they go: the fields and records are those of
// the whole text whatever the chunk size (a record, a field, a GBK character
// or a CR LF cut by any chunk edge), the check refuses what append refuses,
// and a file over the limit is refused before it is read.
#include "exchange/incoming_records.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "base/gbk.h"
#include "exchange/exchange_writer.h"
#include "store/catalogue.h"
#include "tests/support/temp_dir.h"

namespace zorbix::exchange {
namespace {

using testing::TempDir;

void Write(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// One record of quoted fields (the values given by column, "v<c>" for the
// rest), in GBK, built by hand so that it can hold what the writer refuses.
std::string RawRecord(const std::vector<std::pair<int, std::string>>& values = {},
                      const std::string& number = "201300000001") {
    std::vector<std::string> fields(store::kColumnCount);
    for (int c = 0; c < store::kColumnCount; ++c) fields[c] = "v" + std::to_string(c);
    fields[store::kNumberColumn] = number;
    for (const auto& [column, value] : values) fields[column] = value;
    std::string text;
    for (const auto& f : fields) text += "\"" + f + "\",";
    return base::ToGbk(text);
}

// Files whose fields cross chunk edges in every way: quoted fields holding
// commas and CR LF, unquoted ones, blank lines between records, junk after
// a closing quote, GBK characters, a CR LF at every position.
std::string AwkwardFile() {
    std::string text;
    for (int r = 0; r < 3; ++r) {
        text += "  \r\n";
        for (int c = 0; c < store::kColumnCount; ++c) {
            if (c == store::kNumberColumn)
                text += "\"20130000000" + std::to_string(r) + "\",";
            else if (c == store::ColumnIndex("JDCG"))
                text += "\"第一行,逗号\r\n第二行\"  ,";
            else if (c % 7 == 0)
                text += "甲乙" + std::to_string(c) + "\r\n";
            else if (c % 11 == 0)
                text += "\"丙\"x,";
            else
                text += "\"值" + std::to_string(c) + "\",";
        }
    }
    return base::ToGbk(text);
}

std::vector<std::string> WholeTextFields(const std::filesystem::path& file) {
    const std::string text = ReadExchangeText(file);
    FieldReader reader(text);
    std::vector<std::string> fields;
    while (const auto f = reader.Next()) fields.emplace_back(f->text);
    return fields;
}

class ChunkEdges : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ChunkEdges, FieldsAndRecordsAreThoseOfTheWholeText) {
    TempDir dir;
    const auto file = dir / "in.kj";
    Write(file, AwkwardFile());
    const auto expected = WholeTextFields(file);
    ASSERT_EQ(expected.size(), 3u * store::kColumnCount);
    ExchangeFields fields(file, GetParam());
    std::vector<std::string> read;
    while (const auto f = fields.Next()) read.emplace_back(f->text);
    EXPECT_EQ(read, expected);

    EXPECT_EQ(CheckIncomingFile(file, {}, GetParam()), 3u);
    IncomingRecords records(file, 3, GetParam());
    store::Row row;
    for (std::size_t r = 0; r < 3; ++r) {
        ASSERT_TRUE(records.Next(row));
        for (int c = 0; c < store::kColumnCount; ++c)
            EXPECT_EQ(row[c], expected[r * store::kColumnCount + c]) << r << " " << c;
    }
    EXPECT_FALSE(records.Next(row));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ChunkEdges, ::testing::Values(1, 2, 3, 5, 7, 13, 64, 1000, 4 << 20),
                         [](const auto& param_info) {
                             return "chunk_" + std::to_string(param_info.param);
                         });

struct Refused {
    const char* name;
    std::string bytes;
    std::vector<std::string> named;  // parts of the message
};

class IncomingRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(IncomingRefused, WithAMessageNamingTheFile) {
    TempDir dir;
    const auto file = dir / "in.kj";
    Write(file, GetParam().bytes);
    // Small chunks for small files; a large one in chunks of 4 KB (reading
    // a long field in tiny chunks parses it again for each).
    const std::size_t small = GetParam().bytes.size() < 65536 ? 3 : 4096;
    for (const std::size_t chunk : {small, kExchangeChunkBytes}) {
        try {
            CheckIncomingFile(file, {}, chunk);
            ADD_FAILURE() << "accepted";
        } catch (const NotExchangeFile& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("文件“" + file.string() + "”"), std::string::npos) << message;
            for (const auto& part : GetParam().named)
                EXPECT_NE(message.find(part), std::string::npos) << message;
        }
    }
}

const int kJdcg = store::ColumnIndex("JDCG");
const int kName = store::ColumnIndex("JB01");
const int kUnit = store::ColumnIndex("XMCDDW");

INSTANTIATE_TEST_SUITE_P(
    Each, IncomingRefused,
    ::testing::Values(Refused{"tab",
                              RawRecord() + RawRecord({{kUnit, "甲\t乙"}}, "201300000002"),
                              {"中项目“201300000002”的XMCDDW（",
                               "）含有控制字符（U+0009，制表符），"
                               "本程序的输出文件无法保存它。没有追加任何项目。"}},
                      Refused{"lone_lf_in_the_results",
                              RawRecord({{kJdcg, "第一行\n第二行"}}),
                              {"项目“201300000001”的JDCG",
                               "含有控制字符（U+000A，换行符）：换行必须是回车加换行"}},
                      Refused{"line_break_in_a_one_line_field",
                              RawRecord({{kName, "第一行\r\n第二行"}}),
                              {"项目“201300000001”的JB01", "含有控制字符（U+000D，回车符）"}},
                      Refused{"fault_before_the_number",
                              RawRecord({{0, "1\t"}}, "201300000009"),
                              {"项目“201300000009”的XH", "制表符"}},
                      Refused{"more_than_a_cell_holds",
                              RawRecord({{kJdcg, std::string(40000, 'a')}}),
                              {"JDCG", "有40000个字符，超过了一个单元格能容纳的32767个字符"}},
                      // A file that is not whole records names its count first, as before.
                      Refused{"cut_with_a_fault",
                              RawRecord({{kUnit, "\t"}}) + "\"x\",",
                              {"有138个数据项，不是完整的记录"}},
                      Refused{"unquoted_first_record",
                              base::ToGbk("a,b,c\r\n"),
                              {"第一条记录中没有带引号的数据项"}},
                      Refused{"quoted_field_over_commas",
                              "\"" + std::string(3 << 20, ',') + "\",",
                              {"中有一个数据项超过1MB"}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(IncomingFile, LongerThanItsColumnIsTakenWhole) {
    TempDir dir;
    const auto file = dir / "in.kj";
    const std::string name(300, 'n');
    Write(file, RawRecord({{kName, name}, {kJdcg, "一\r\n二"}}));
    EXPECT_EQ(CheckIncomingFile(file), 1u);
    IncomingRecords records(file, 1);
    store::Row row;
    ASSERT_TRUE(records.Next(row));
    EXPECT_EQ(row[kName], name);
    EXPECT_EQ(row[kJdcg], "一\r\n二");
}

TEST(IncomingFile, OverTheLimitIsRefusedBeforeItIsRead) {
    TempDir dir;
    const auto file = dir / "huge.kj";
    Write(file, "\"");
    std::filesystem::resize_file(file, kMaxExchangeFileBytes + 1);  // sparse
    const auto start = std::chrono::steady_clock::now();
    try {
        CheckIncomingFile(file);
        FAIL() << "accepted";
    } catch (const NotExchangeFile& e) {
        EXPECT_EQ(std::string(e.what()), "文件“" + file.string() + "”大于1GB，不是交换数据文件。");
    }
    // Reading a gigabyte, even of a sparse file, takes far longer.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(IncomingFile, AChangedFileIsNoticedOnTheSecondRead) {
    TempDir dir;
    const auto file = dir / "in.kj";
    Write(file, RawRecord());
    EXPECT_EQ(CheckIncomingFile(file), 1u);
    Write(file, RawRecord({{kUnit, "\t"}}));
    store::Row row;
    EXPECT_THROW(IncomingRecords(file, 1).Next(row), base::Failure);
    // A record more, or one fewer, than the check counted.
    Write(file, RawRecord() + RawRecord({}, "201300000002"));
    IncomingRecords more(file, 1);
    EXPECT_TRUE(more.Next(row));
    EXPECT_THROW(more.Next(row), base::Failure);
    IncomingRecords fewer(file, 3);
    EXPECT_TRUE(fewer.Next(row));
    EXPECT_TRUE(fewer.Next(row));
    EXPECT_THROW(fewer.Next(row), base::Failure);
}

}  // namespace
}  // namespace zorbix::exchange

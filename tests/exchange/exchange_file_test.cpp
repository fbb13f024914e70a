// Reading exchange files from disk: what is refused as not an exchange file,
// and that decoding in bounded chunks gives the same text as decoding whole.
#include "exchange/exchange_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/gbk.h"
#include "tests/support/param_names.h"
#include "tests/support/temp_dir.h"

namespace zorbix::exchange {
namespace {

using testing::TempDir;

void Write(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string Record() {
    std::string text;
    for (int i = 0; i < 137; ++i) text += "\"v\",";
    return text;
}

struct BadCase {
    const char* name;
    std::string bytes;
    const char* expected_words;  // part of the message
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class BadFile : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadFile, IsRefusedWithItsMessage) {
    TempDir dir;
    const auto file = dir / "in.kj";
    Write(file, GetParam().bytes);
    try {
        const std::string text = ReadExchangeText(file);
        CheckLooksLikeRecords(text, file);
        FAIL() << "accepted";
    } catch (const NotExchangeFile& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(GetParam().expected_words), std::string::npos) << message;
        EXPECT_NE(message.find(file.string()), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadFile,
    ::testing::Values(BadCase{"Empty", "", "空文件"},
                      BadCase{"OnlyBlanks", "  \r\n\r\n", "只有空白"},
                      BadCase{"InvalidGbk", "\"\x81\x20\",", "不是GBK编码"},
                      BadCase{"CutOffCharacter", "\"ab\",\"\xD6", "不是GBK编码"},
                      BadCase{"NulBytes", std::string("\"a\0b\",", 7), "控制字符"},
                      BadCase{"DelByte",
                              Record() + "\"a\x7F"
                                         "b\",",
                              "控制字符"},
                      BadCase{"Utf16", std::string("\xFF\xFE\"\0a\0\"\0", 8), "控制字符"},
                      BadCase{"PlainText", "hello world\nsecond line\n", "没有带引号"},
                      BadCase{"Csv", "a,b,c\r\n1,2,3\r\n", "没有带引号"}),
    testing::NameMember());

TEST(ExchangeFile, MissingFileAndDirectoryAreRefused) {
    TempDir dir;
    EXPECT_THROW(ReadExchangeText(dir / "none.kj"), NotExchangeFile);
    EXPECT_THROW(ReadExchangeText(dir.path()), NotExchangeFile);
}

TEST(ExchangeFile, FileOverTheLimitIsRefusedWithoutReadingIt) {
    TempDir dir;
    const auto file = dir / "huge.kj";
    Write(file, "\"");
    std::filesystem::resize_file(file, kMaxExchangeFileBytes + 1);  // sparse
    try {
        ReadExchangeText(file);
        FAIL() << "accepted";
    } catch (const NotExchangeFile& e) {
        EXPECT_NE(std::string(e.what()).find("大于1GB"), std::string::npos) << e.what();
    }
}

TEST(ExchangeFile, CharactersAcrossChunkEdgesDecodeWhole) {
    // Pieces of an odd number of GBK bytes (7) put a double-byte character
    // across the 4 MB boundaries; the fields stay short, as in a real file.
    std::string utf8 = "\"x";
    while (utf8.size() < (9u << 20)) utf8 += "中文\",\"";
    utf8 += "\",";
    TempDir dir;
    Write(dir / "big.kj", base::ToGbk(utf8));
    EXPECT_EQ(ReadExchangeText(dir / "big.kj"), utf8);
}

TEST(ExchangeFile, FieldOverTheLimitIsRefusedBeforeTheFileIsRead) {
    // Found with a gigabyte file of one endless field: it was read whole
    // (up to a gigabyte held in memory) before anything looked at it.
    TempDir dir;
    const auto file = dir / "long.kj";
    Write(file, "\"201300000001\",\"" + std::string(kMaxFieldBytes + 1, 'a') + "\",");
    try {
        ReadExchangeText(file);
        FAIL() << "accepted";
    } catch (const NotExchangeFile& e) {
        EXPECT_NE(std::string(e.what()).find("第17字节起的数据项超过1MB"), std::string::npos)
            << e.what();
    }
}

TEST(ExchangeFile, FieldAtTheLimitIsRead) {
    TempDir dir;
    const std::string bytes = "\"" + std::string(kMaxFieldBytes, 'a') + "\",\r\n";
    Write(dir / "limit.kj", bytes);
    EXPECT_EQ(ReadExchangeText(dir / "limit.kj"), bytes);
}

TEST(ExchangeFile, AcceptsARecordWithSomeUnquotedFields) {
    TempDir dir;
    Write(dir / "ok.kj", "1,\"201300000001\"\r\n" + Record());
    const std::string text = ReadExchangeText(dir / "ok.kj");
    EXPECT_NO_THROW(CheckLooksLikeRecords(text, dir / "ok.kj"));
}

}  // namespace
}  // namespace zorbix::exchange

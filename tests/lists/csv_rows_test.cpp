// Reading CSV lists as they go: the rows, cells and messages are those of
// reading the whole text at once for every block size (records, quoted
// fields, CR LF pairs and UTF-8 or GBK characters cut by any block edge), the
// guard's apostrophe is removed, and the limits refuse a file before it is
// read and a record when it is met.
#include "lists/csv_rows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "base/error.h"
#include "base/gbk.h"
#include "lists/csv_guard.h"
#include "office/csv_text.h"
#include "store/catalogue.h"
#include "tests/support/temp_dir.h"

namespace zorbix::lists {
namespace {

using office::CsvReader;
using office::ListCell;
using testing::TempDir;

void Write(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// Rows as "row:column=text|…" lines, or the message of the failure.
std::string Rows(const std::filesystem::path& file, std::size_t block) {
    std::string out;
    try {
        ReadCsvFileRows(
            file,
            [&](int row, std::span<const ListCell> cells) {
                out += std::to_string(row) + ":";
                for (const ListCell& c : cells)
                    out += std::to_string(c.column) + "=" + c.text + "|";
                out += "\n";
            },
            {}, block);
    } catch (const base::Failure& e) {
        out += std::string("failed: ") + e.what();
    }
    return out;
}

// The same rows from the whole text, as a CSV reader over it gives them.
std::string WholeTextRows(std::string_view text, const std::string& name) {
    std::string out;
    try {
        CsvReader reader(text, name);
        std::vector<std::string> fields;
        for (int row = 1; reader.Next(fields); ++row) {
            std::string line;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                std::string f = fields[i];
                if (!f.empty() && f.front() == '\'') f.erase(0, 1);
                if (!f.empty()) line += std::to_string(i + 1) + "=" + f + "|";
            }
            if (!line.empty()) out += std::to_string(row) + ":" + line + "\n";
        }
    } catch (const base::Failure& e) {
        out += std::string("failed: ") + e.what();
    }
    return out;
}

struct CsvCase {
    const char* name;
    std::string text;  // UTF-8
    bool gbk = false;  // written as GBK
};

const CsvCase kCases[] = {
    {"bom_quotes_and_line_breaks",
     "\xEF\xBB\xBFJB02,JB01,JDCG\r\n"
     "201300000001,\"甲,\"\"乙\"\"\",\"第一行\r\n第二行\"\r\n"
     "201300000002,丙丁戊,\r\n\r\n"
     "201300000003,'=1+1,''引号\r\n"},
    {"lone_line_ends_and_no_last_end",
     "JB02,JB01\n201300000001,a\r201300000002,\"b\rc\"\n201300000003,最后"},
    {"gbk", "JB02,JB01\r\n201300000001,甲项目\r\n201300000002,\"乙，项目\r\n\"\r\n", true},
    {"unclosed_quote", "JB02,JB01\r\n201300000001,a\r\n201300000002,\"甲\r\n201300000003,乙\r\n"},
    {"quote_inside_a_field", "JB02,JB01\r\n201300000001,a\r\n201300000002,甲\"乙\r\n"},
    {"text_after_a_closing_quote", "JB02\r\n\"a\"b\r\n"},
};

class CsvBlockEdges : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CsvBlockEdges, RowsAndMessagesAreThoseOfTheWholeText) {
    TempDir dir;
    for (const CsvCase& c : kCases) {
        const auto file = dir / (std::string(c.name) + ".csv");
        Write(file, c.gbk ? base::ToGbk(c.text) : c.text);
        const std::string expected = WholeTextRows(c.text, "文件“" + file.string() + "”");
        EXPECT_EQ(Rows(file, GetParam()), expected) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CsvBlockEdges,
                         ::testing::Values(1, 2, 3, 4, 5, 7, 11, 64, kCsvBlockBytes),
                         [](const auto& param_info) {
                             return "block_" + std::to_string(param_info.param);
                         });

TEST(CsvRows, AFileOverTheLimitIsRefusedBeforeItIsRead) {
    TempDir dir;
    const auto file = dir / "huge.csv";
    Write(file, "JB02");
    std::filesystem::resize_file(file, kMaxCsvBytes + 1);  // sparse
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Rows(file, kCsvBlockBytes),
              "failed: 文件“" + file.string() + "”大于1GB，不是项目表。");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(CsvRows, ARecordOverTheLimitIsRefusedWithItsLine) {
    TempDir dir;
    const auto file = dir / "long.csv";
    Write(file, "JB02,JDCG\r\n201300000001,\"a\r\nb\"\r\n201300000002," +
                    std::string(kMaxCsvRecordBytes + 1, 'x') + "\r\n");
    // The rows before it have been handed on; the import refuses the file.
    for (const std::size_t block : {std::size_t{1} << 20, kCsvBlockBytes}) {
        const std::string rows = Rows(file, block);
        EXPECT_TRUE(rows.ends_with("\nfailed: 文件“" + file.string() +
                                   "”第4行开始的一行数据超过16MB，不是项目表。"))
            << rows.substr(0, 300);
    }
    std::string wide = "JB02";
    for (std::size_t i = 0; i < kMaxCsvFields; ++i) wide += ",";
    Write(file, wide + "\r\n");
    EXPECT_EQ(Rows(file, 1000), "failed: 文件“" + file.string() +
                                    "”第1行开始的一行数据有超过16384个数据项，不是项目表。");
}

TEST(CsvRows, NeitherUtf8NorGbkAndNulAreRefusedAsBefore) {
    TempDir dir;
    const auto file = dir / "bad.csv";
    Write(file, "JB02\r\n\xFF\xFF\r\n");
    EXPECT_NE(Rows(file, 2).find("既不是UTF-8编码也不是GBK编码的文本"), std::string::npos);
    Write(file, std::string("JB02\r\n1\0\r\n", 9));
    EXPECT_NE(Rows(file, 2).find("含有空字符"), std::string::npos);
    // A GBK character cut off at the end of the file.
    Write(file, "JB02\r\n\xD6");
    EXPECT_NE(Rows(file, 6).find("既不是UTF-8编码也不是GBK编码的文本"), std::string::npos);
}

struct GuardCase {
    const char* name;
    const char* column;
    std::string value;
    bool guarded;
};

class CsvGuardRule : public ::testing::TestWithParam<GuardCase> {};

TEST_P(CsvGuardRule, GuardsWhatASpreadsheetWouldRunAndGivesEveryTextBack) {
    const store::Column& column = store::Columns()[store::ColumnIndex(GetParam().column)];
    std::string field;
    AppendGuardedCsvField(field, column, GetParam().value);
    const std::string line = field + "\r\n";  // the reader keeps a view of it
    CsvReader reader(line, "x");
    std::vector<std::string> fields;
    ASSERT_TRUE(reader.Next(fields));
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0], (GetParam().guarded ? "'" : "") + GetParam().value);
    EXPECT_EQ(NeedsCsvGuard(column, GetParam().value), GetParam().guarded);
    RemoveCsvGuard(fields[0]);
    EXPECT_EQ(fields[0], GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Each, CsvGuardRule,
    ::testing::Values(
        GuardCase{"formula", "JB01", "=1+1", true}, GuardCase{"plus", "JB01", "+86", true},
        GuardCase{"minus_text", "JB01", "-5", true}, GuardCase{"at", "JB01", "@SUM(A1)", true},
        GuardCase{"tab", "JB01", "\tx", true}, GuardCase{"cr", "JDCG", "\r\nx", true},
        GuardCase{"apostrophe", "JB01", "'x", true},
        GuardCase{"two_apostrophes", "JB01", "''", true},
        GuardCase{"negative_number", "JF1102", "-5", false},
        GuardCase{"negative_fraction", "JF1102", "-1.5", false},
        GuardCase{"number_as_typed_otherwise", "JF1102", "-007", true},
        GuardCase{"plus_number", "JF1102", "+5", true}, GuardCase{"plain", "JB01", "项目=1", false},
        GuardCase{"empty", "JB01", "", false}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace zorbix::lists

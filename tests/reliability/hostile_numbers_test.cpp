// Hostile exchange files and project numbers: a gigabyte of one field, a
// gigabyte of nothing, and project numbers that would put a file outside its
// folder. Each is refused with a clear message; memory stays bounded and no
// file appears anywhere else.
#include <gtest/gtest.h>

#include <fstream>

#include "exchange/exchange_operations.h"
#include "report/project_report.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "tests/reliability/hostile_files.h"
#include "tests/support/param_names.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;

constexpr long kMemoryLimitMiB = 256;

std::string AllSaid(const RecordingPrompter& prompter) {
    std::string said;
    for (const auto& text : prompter.Texts()) said += text + "\n";
    return said;
}

// A file of `size` bytes: `head`, then `fill` repeated, or a hole (zero
// bytes taking no disk) when fill is '\0'.
void WriteLargeFile(const fs::path& file, const std::string& head, std::uintmax_t size, char fill) {
    {
        std::ofstream out(file, std::ios::binary);
        out << head;
        if (fill != '\0') {
            const std::string block(4u << 20, fill);
            for (std::uintmax_t left = size - head.size(); left > 0;) {
                const auto n = std::min<std::uintmax_t>(left, block.size());
                out.write(block.data(), static_cast<std::streamsize>(n));
                left -= n;
            }
        }
    }
    fs::resize_file(file, size);
}

struct LargeExchangeFile {
    const char* name;
    std::uintmax_t size;
    char fill;
    const char* expected_words;
};

void PrintTo(const LargeExchangeFile& c, std::ostream* os) { *os << c.name; }

class LargeExchange : public ::testing::TestWithParam<LargeExchangeFile> {};

TEST_P(LargeExchange, IsRefusedWithBoundedMemoryAndNothingAdded) {
    const auto& c = GetParam();
    TempDir dir;
    store::Store store(dir.path());
    const auto file = dir / "huge.kj";
    WriteLargeFile(file, "\"1\",\"201300000001\",\"", c.size, c.fill);
    RecordingPrompter prompter;
    prompter.files.push_back(file);
    const MemoryWatch memory;
    const auto result = exchange::AppendProjects(store.records(), prompter, dir.path());
    fs::remove(file);
    EXPECT_EQ(result.outcome, exchange::Outcome::Failed);
    EXPECT_EQ(store.records().Count(), 0);
    const std::string said = AllSaid(prompter);
    EXPECT_NE(said.find(file.string()), std::string::npos) << said;
    EXPECT_NE(said.find(c.expected_words), std::string::npos) << said;
    EXPECT_LT(memory.GrowthMiB(), kMemoryLimitMiB);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LargeExchange,
    ::testing::Values(LargeExchangeFile{"GigabyteOfOneField", 1'000'000'000, 'A', "数据项超过1MB"},
                      LargeExchangeFile{"GigabyteOfZeroBytes", 1'000'000'000, '\0', "控制字符"},
                      LargeExchangeFile{"TwoGigabytes", 2ull << 30, '\0', "大于1GB"}),
    testing::NameMember());

// Project numbers that would name a file outside its folder.
const char* const kHostileNumbers[] = {"../201300000002", "..\\201300000003", "2013/00000004",
                                       "/tmp/201300000005", ".."};

class HostileNumbers : public ::testing::Test {
protected:
    void SetUp() override {
        store_ = std::make_unique<store::Store>(dir_.path());
        Add("201300000001");
        for (const char* number : kHostileNumbers) Add(number);
    }

    void Add(const std::string& number) {
        store::Row row(store::kColumnCount);
        row[store::ColumnIndex("JB02")] = number;
        row[store::ColumnIndex("JB01")] = "项目" + number;
        store_->records().AddNew(row);
    }

    // No file named after a hostile number appears outside `folder`.
    void ExpectNothingEscaped(const fs::path& folder, const std::string& extension) {
        for (const char* number : kHostileNumbers) {
            const std::string name = fs::path(number).filename().string() + extension;
            for (const fs::path& place :
                 {folder.parent_path(), folder.parent_path().parent_path(), fs::path("/tmp")})
                EXPECT_FALSE(fs::exists(place / name)) << place / name;
        }
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file() && entry.path().extension() == extension) {
                EXPECT_EQ(entry.path().filename(), "201300000001" + extension);
            }
        }
    }

    void ExpectEachNumberNamed(const RecordingPrompter& prompter) {
        const std::string said = AllSaid(prompter);
        for (const char* number : kHostileNumbers)
            EXPECT_NE(said.find(std::string("“") + number + "”"), std::string::npos)
                << number << "\n"
                << said;
    }

    TempDir dir_;
    std::unique_ptr<store::Store> store_;
};

TEST_F(HostileNumbers, DistributeRefusesEachAndWritesTheRest) {
    const auto out = dir_ / "out";
    fs::create_directories(out);
    RecordingPrompter prompter;
    const auto result = exchange::DistributeProjects(store_->records(), prompter, out);
    EXPECT_EQ(result.written, 1);
    EXPECT_EQ(result.refused, static_cast<int>(std::size(kHostileNumbers)));
    EXPECT_TRUE(fs::exists(out / "201300000001.kj"));
    ExpectEachNumberNamed(prompter);
    ExpectNothingEscaped(out, ".kj");
}

TEST_F(HostileNumbers, ReportsRefuseEachAndWriteTheRest) {
    fs::copy_file(fs::path(ZORBIX_TEMPLATE_DIR) / "2013模板.docx", dir_ / "2013模板.docx");
    RecordingPrompter prompter;
    EXPECT_FALSE(report::CommandReports(store_->records(), prompter, dir_.path()));
    EXPECT_TRUE(fs::exists(dir_ / "201300000001.docx"));
    ExpectEachNumberNamed(prompter);
    fs::remove(dir_ / "2013模板.docx");
    ExpectNothingEscaped(dir_.path(), ".docx");
}

}  // namespace
}  // namespace zorbix::testing

// Damaged .xls files that make FreeXL itself misbehave (found by fuzzing:
// one makes it read past a buffer of its own, one makes it leak). The reader
// runs FreeXL apart, so each ends as a message naming the file, never as a
// crash or a leak of this process (the sanitizer build would report both).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/error.h"
#include "office/sheet_reader.h"
#include "tests/support/param_names.h"
#include "tests/support/temp_dir.h"

namespace zorbix::office {
namespace {

const std::filesystem::path kData = ZORBIX_OFFICE_TEST_DATA;

class DamagedXls : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedXls, EndsAsAMessageOrASheet) {
    const auto file = kData / GetParam();
    ASSERT_TRUE(std::filesystem::exists(file));
    for (int run = 0; run < 3; ++run) {
        try {
            (void)ReadFirstSheet(file);
        } catch (const base::Failure& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FoundByFuzzing, DamagedXls,
                         ::testing::Values("freexl_stack_overread.xls", "freexl_leak.xls"),
                         testing::TextParam());

TEST(DamagedXls, TheReadersOwnMessageComesBackFromTheChild) {
    testing::TempDir dir;
    std::ofstream(dir / "text.xls") << "not a workbook at all";
    try {
        (void)ReadXlsFirstSheet(dir / "text.xls");
        FAIL() << "accepted";
    } catch (const base::Failure& e) {
        EXPECT_NE(std::string(e.what()).find("已损坏，无法读取（错误"), std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace zorbix::office

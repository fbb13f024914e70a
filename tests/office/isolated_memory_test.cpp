// A reader run apart may take only a bounded amount of memory: a small
// crafted .xls that declares millions of cells, or any allocation past the
// child's budget, ends as a message naming the file while the child's peak
// stays under 256 MB.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "office/isolated_run.h"
#include "office/sheet_reader.h"

namespace zorbix::office {
namespace {

const std::filesystem::path kData = ZORBIX_OFFICE_TEST_DATA;
constexpr long kPeakLimitMiB = 256;

long OwnResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    return 0;
}

// How far the largest child this process waited for grew beyond this
// process's own resident memory (the child starts as a copy of it).
long ChildGrowthMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024 - OwnResidentMiB();
}

std::string Message(const std::function<void()>& read) {
    try {
        read();
    } catch (const base::Failure& failure) {
        return failure.what();
    }
    return {};
}

const Isolation kIsolation{
    .crashed = "崩溃", .out_of_memory = "过大", .memory_budget = 192ull << 20};

TEST(IsolatedMemory, WorkPastTheBudgetEndsAsTheMessage) {
    if (!kIsolationBoundsMemory) GTEST_SKIP() << "the address sanitizer needs unbounded memory";
    const auto greedy = [] {
        std::vector<char> gigabyte(1ull << 30);
        std::memset(gigabyte.data(), 1, gigabyte.size());
        return std::string(1, gigabyte.back());
    };
    EXPECT_EQ(Message([&] { (void)RunIsolated(greedy, kIsolation); }), "过大");
    EXPECT_LT(ChildGrowthMiB(), kPeakLimitMiB);
}

TEST(IsolatedMemory, WorkWithinTheBudgetReturnsItsBytes) {
    const auto modest = [] {
        std::vector<char> block(64ull << 20, 'x');
        return std::string(block.end() - 3, block.end());
    };
    EXPECT_EQ(RunIsolated(modest, kIsolation), "xxx");
}

// Two 6 KB workbooks whose sheet dimensions were raised to 65536 rows: one
// declares 7.9 million cells (within the bound, FreeXL takes 120 MB for it),
// one 16.8 million (refused before FreeXL allocates them).
// (The address sanitizer's own bookkeeping doubles FreeXL's allocations, and
// its builds run without the bound: there only the outcome is checked.)
TEST(IsolatedMemory, ASheetDeclaringMillionsOfCellsIsReadOrRefusedWithinTheBound) {
    const auto within = ReadFirstSheet(kData / "declares_7m_cells.xls");
    EXPECT_EQ(within.At(1, 1).text, "a");
    if (kIsolationBoundsMemory) {
        EXPECT_LT(ChildGrowthMiB(), kPeakLimitMiB);
    }

    const auto beyond = kData / "declares_16m_cells.xls";
    const std::string message = Message([&] { (void)ReadFirstSheet(beyond); });
    EXPECT_NE(message.find(beyond.string()), std::string::npos) << message;
    EXPECT_NE(message.find("过大"), std::string::npos) << message;
    if (kIsolationBoundsMemory) {
        EXPECT_LT(ChildGrowthMiB(), kPeakLimitMiB);
    }
}

}  // namespace
}  // namespace zorbix::office

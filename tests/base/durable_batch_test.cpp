// A batch of atomic writes leaves every file complete under its name and no
// temporary beside it, and syncs each folder once for the whole batch.
#include "base/durable_batch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "base/atomic_file.h"

namespace zorbix::base {
namespace {

namespace fs = std::filesystem;

class DurableBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("zorbix-durable-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "a");
        fs::create_directories(root_ / "b");
    }
    void TearDown() override { fs::remove_all(root_); }

    static std::string Content(int i) {
        return std::string(1000 + i, static_cast<char>('a' + i % 26));
    }

    void WriteFiles(const fs::path& folder, int count) {
        for (int i = 0; i < count; ++i)
            WriteFileAtomically(folder / (std::to_string(i) + ".kj"), Content(i));
    }

    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void ExpectComplete(const fs::path& folder, int count) {
        int files = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            ++files;
            EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
        }
        EXPECT_EQ(files, count);
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(Read(folder / (std::to_string(i) + ".kj")), Content(i));
    }

    fs::path root_;
};

struct BatchCase {
    const char* name;
    bool batch;
    bool nested;
    bool two_folders;
    std::size_t folder_syncs;
};

class DurableBatchCases : public DurableBatchTest,
                          public ::testing::WithParamInterface<BatchCase> {};

TEST_P(DurableBatchCases, WritesCompleteFilesAndSyncsEachFolderOnce) {
    const BatchCase& c = GetParam();
    const std::size_t before = FolderSyncCount();
    {
        std::optional<DurableBatch> outer;
        std::optional<DurableBatch> inner;
        if (c.batch) outer.emplace();
        if (c.nested) inner.emplace();
        WriteFiles(root_ / "a", 20);
        if (c.two_folders) WriteFiles(root_ / "b", 5);
        if (inner) inner->Finish();
        EXPECT_EQ(FolderSyncCount() - before, c.batch ? 0u : c.folder_syncs)
            << "a batch syncs no folder before it finishes";
        if (outer) outer->Finish();
    }
    EXPECT_EQ(FolderSyncCount() - before, c.folder_syncs);
    ExpectComplete(root_ / "a", 20);
    ExpectComplete(root_ / "b", c.two_folders ? 5 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Batches, DurableBatchCases,
    ::testing::Values(BatchCase{"NoBatchSyncsPerFile", false, false, false, 20},
                      BatchCase{"OneFolder", true, false, false, 1},
                      BatchCase{"TwoFolders", true, false, true, 2},
                      BatchCase{"NestedLeavesItToTheOuter", true, true, false, 1}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(DurableBatchTest, AnAbandonedBatchStillSyncsItsFolder) {
    const std::size_t before = FolderSyncCount();
    try {
        DurableBatch batch;
        WriteFiles(root_ / "a", 3);
        throw std::runtime_error("stopped");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(FolderSyncCount() - before, 1u);
    ExpectComplete(root_ / "a", 3);
}

TEST_F(DurableBatchTest, AfterTheBatchEachWriteSyncsItsFolderAgain) {
    { DurableBatch batch; }
    const std::size_t before = FolderSyncCount();
    WriteFiles(root_ / "a", 2);
    EXPECT_EQ(FolderSyncCount() - before, 2u);
}

}  // namespace
}  // namespace zorbix::base

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
#include "base/background_writer.h"
#include "base/error.h"
#include "base/protected_targets.h"
#include "tests/support/param_names.h"
#include "tests/support/temp_dir.h"

namespace zorbix::base {
namespace {

namespace fs = std::filesystem;

class DurableBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root_ / "a");
        fs::create_directories(root_ / "b");
    }

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

    // A folder of the test's own: a parameterised test's name holds a "/",
    // and a name made of it left its parent folder behind.
    zorbix::testing::TempDir temp_;
    const fs::path root_ = temp_.path();
};

using Mode = DurableBatch::Mode;

struct BatchCase {
    const char* name;
    bool batch;
    bool nested;
    bool two_folders;
    std::size_t folder_syncs;
    Mode mode = Mode::SyncEachFile;
};

void PrintTo(const BatchCase& c, std::ostream* os) { *os << c.name; }

class DurableBatchCases : public DurableBatchTest,
                          public ::testing::WithParamInterface<BatchCase> {};

TEST_P(DurableBatchCases, WritesCompleteFilesAndSyncsEachFolderOnce) {
    const BatchCase& c = GetParam();
    const std::size_t before = FolderSyncCount();
    {
        std::optional<DurableBatch> outer;
        std::optional<DurableBatch> inner;
        if (c.batch) outer.emplace(c.mode);
        if (c.nested) inner.emplace(c.mode);
        WriteFiles(root_ / "a", 20);
        if (c.two_folders) WriteFiles(root_ / "b", 5);
        // Syncing once at the end, the batch gives no file its name before.
        if (c.mode == Mode::SyncOnceAtEnd) {
            EXPECT_FALSE(fs::exists(root_ / "a" / "0.kj"));
        }
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
                      BatchCase{"NestedLeavesItToTheOuter", true, true, false, 1},
                      BatchCase{"OnceAtEndOneFolder", true, false, false, 1, Mode::SyncOnceAtEnd},
                      BatchCase{"OnceAtEndTwoFolders", true, false, true, 2, Mode::SyncOnceAtEnd},
                      BatchCase{"OnceAtEndNested", true, true, true, 2, Mode::SyncOnceAtEnd}),
    testing::NameMember());

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

TEST_F(DurableBatchTest, AnAbandonedOnceAtEndBatchStillPutsItsFilesInPlace) {
    try {
        DurableBatch batch(Mode::SyncOnceAtEnd);
        WriteFiles(root_ / "a", 3);
        throw std::runtime_error("stopped");
    } catch (const std::runtime_error&) {
    }
    ExpectComplete(root_ / "a", 3);
}

// A file written twice in one run holds the later content, as it would
// without the batch.
TEST_F(DurableBatchTest, OnceAtEndTheLaterWriteOfAFileWins) {
    DurableBatch batch(Mode::SyncOnceAtEnd);
    WriteFileAtomically(root_ / "a" / "0.kj", "first");
    WriteFileAtomically(root_ / "a" / "0.kj", Content(0));
    batch.Finish();
    ExpectComplete(root_ / "a", 1);
}

// A folder that vanished during the run: its files are named in the
// failure, the other folder's files are in place, no temporary is left.
TEST_F(DurableBatchTest, OnceAtEndAFileThatCannotBePutInPlaceIsNamedAndTheOthersStay) {
    DurableBatch batch(Mode::SyncOnceAtEnd);
    WriteFiles(root_ / "a", 3);
    WriteFiles(root_ / "b", 2);
    fs::remove_all(root_ / "b");
    try {
        batch.Finish();
        ADD_FAILURE() << "the lost folder's files were reported as written";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find((root_ / "b").string()), std::string::npos)
            << failure.what();
    }
    ExpectComplete(root_ / "a", 3);
    EXPECT_FALSE(fs::exists(root_ / "b"));
}

TEST_F(DurableBatchTest, AfterTheBatchEachWriteSyncsItsFolderAgain) {
    { DurableBatch batch; }
    const std::size_t before = FolderSyncCount();
    WriteFiles(root_ / "a", 2);
    EXPECT_EQ(FolderSyncCount() - before, 2u);
}

TEST_F(DurableBatchTest, TheBackgroundWriterPutsEveryFileInPlaceWhenItFinishes) {
    for (const bool finish : {true, false}) {
        {
            BackgroundWriter writer;
            for (int i = 0; i < 600; ++i)
                writer.Write(root_ / "a" / (std::to_string(i) + ".kj"), Content(i));
            if (finish) writer.Finish();
        }
        // Without Finish (a run ending with its own failure) as with it.
        ExpectComplete(root_ / "a", 600);
        fs::remove_all(root_ / "a");
        fs::create_directories(root_ / "a");
    }
}

// A file that cannot be written stops the run: the failure names it, at a
// later Write or at Finish, and what was written before stays complete.
TEST_F(DurableBatchTest, TheBackgroundWritersFirstFailureReachesTheRun) {
    BackgroundWriter writer;
    writer.Write(root_ / "a" / "0.kj", Content(0));
    bool thrown = false;
    try {
        writer.Write(root_ / "missing" / "x.kj", "x");
        for (int i = 1; i < 2000; ++i)
            writer.Write(root_ / "b" / (std::to_string(i) + ".kj"), Content(i));
        writer.Finish();
    } catch (const Failure& failure) {
        thrown = true;
        EXPECT_NE(std::string(failure.what()).find("missing"), std::string::npos) << failure.what();
    }
    EXPECT_TRUE(thrown);
    ExpectComplete(root_ / "a", 1);
    for (const auto& entry : fs::directory_iterator(root_ / "b"))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

// The batch's remembering check answers as the check asked afresh: a
// protected file by name or by a hard link, a file in a protected folder,
// an ordinary target.
TEST_F(DurableBatchTest, TheBatchsCheckOfTargetsAnswersAsTheCheckAskedAfresh) {
    const int owner = 0;
    WriteFileAtomically(root_ / "a" / "own.db", "own");
    ProtectFile(root_ / "a" / "own.db", "数据库文件", &owner);
    ProtectFolder(root_ / "b", "备份文件夹中的文件", &owner);
    fs::create_hard_link(root_ / "a" / "own.db", root_ / "a" / "link.kj");
    TargetChecker checker;
    for (int round = 0; round < 2; ++round)
        for (const char* name : {"a/own.db", "a/link.kj", "b/x.kj", "a/x.kj", "a/../b/y.kj"}) {
            const auto target = root_ / name;
            EXPECT_EQ(checker.Problem(target), ProtectedTargetProblem(target)) << name;
            EXPECT_EQ(checker.Problem(target).has_value(), std::string(name) != "a/x.kj") << name;
        }
    ForgetProtectedFiles(&owner);
}

}  // namespace
}  // namespace zorbix::base

// Backups that are never lost: restoring any of them, the order of making
// over names and clocks, damaged copies, a damaged store and the way back
// to its backups, the leftovers of killed runs and the instance lock's file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "base/instance_lock.h"
#include "store/backup_files.h"
#include "store/backup_operations.h"
#include "store/backups.h"
#include "store/damaged_store.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "store/store_operations.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::store {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Overwrite(const fs::path& file, std::size_t offset, std::string_view bytes) {
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A process number that no process has now: a child that has ended.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

class BackupSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddDemoProjects(records(), 12, 3, nullptr);
        records().Reopen();  // store order, as every restore leaves it
    }
    RecordSet& records() { return store_->records(); }
    fs::path Folder() { return dir_.path() / "backup"; }
    std::string Names() {
        std::string all;
        for (int p = 1; p <= records().Count(); ++p) all += records().ReadRow(p).ToRow()[2] + "|";
        return all;
    }
    // A backup of a store whose first project has this name.
    fs::path BackupNamed(const std::string& name) {
        records().MoveTo(1);
        records().SetValue("JB01", name);
        records().WriteBack();
        return *MakeBackup(store_->database(), "备份");
    }

    testing::TempDir dir_;
    std::unique_ptr<Store> store_ = std::make_unique<Store>(dir_.path());
    testing::RecordingPrompter prompter_;
};

TEST_F(BackupSafetyTest, TheOldestOfTwentyBackupsRestoresAndStays) {
    std::vector<fs::path> made;
    for (int i = 0; i < kBackupsKept; ++i) made.push_back(BackupNamed("名称" + std::to_string(i)));
    ASSERT_EQ(ListBackups(Folder()).size(), 20u);
    const std::string oldest_bytes = Bytes(made.front());
    records().MoveTo(1);
    records().SetValue("JB01", "当前");
    records().WriteBack();

    ASSERT_EQ(RestoreBackup(records(), prompter_, made.front().filename().string()),
              base::Outcome::Done)
        << prompter_.Texts().back();
    records().MoveTo(1);
    EXPECT_EQ(records().Value("JB01"), "名称0");
    EXPECT_EQ(Bytes(made.front()), oldest_bytes) << "the restored backup is kept as it was";
    const auto backups = ListBackups(Folder());
    EXPECT_EQ(backups.front().operation, "恢复备份") << "the store before the restore is kept";
    EXPECT_EQ(backups.size(), 21u) << "the one restored is spared from the removal";
    EXPECT_TRUE(Contains(prompter_.Texts().back(), "恢复前的数据已备份为“zorbix2013-"));
}

TEST_F(BackupSafetyTest, BackupsNamedInTheFutureNeverPushOutTheOneJustMade) {
    const fs::path real = BackupNamed("真");
    fs::create_directories(Folder());
    for (int i = 0; i < kBackupsKept; ++i) {
        // Copies of a backup from a clock that ran ahead, and one of an older
        // version that carries no order of making.
        const fs::path future = Folder() / ("zorbix2013-2099010" + std::to_string(i % 10) +
                                            "-00000" + std::to_string(i / 10) + "-追加数据.db");
        fs::copy_file(real, future);
    }
    records().MoveTo(1);
    records().SetValue("JB01", "改");
    records().WriteBack();
    records().MoveTo(2);
    ASSERT_TRUE(DeleteProject(records(), prompter_));
    const auto backups = ListBackups(Folder());
    ASSERT_FALSE(backups.empty());
    EXPECT_EQ(backups.front().operation, "项目删除") << "newest in the order of making";
    EXPECT_EQ(backups.size(), 20u);
    EXPECT_GT(MakingOrder(backups.front().file), MakingOrder(real));
    EXPECT_TRUE(fs::exists(backups.front().file));
}

TEST_F(BackupSafetyTest, FilesThatAreNoStoreAreNeitherCountedNorRemoved) {
    fs::create_directories(Folder());
    for (int i = 0; i < 5; ++i)
        std::ofstream(Folder() / ("zorbix2013-2013120" + std::to_string(i) + "-000000-备份.db"))
            << "no database";
    std::vector<fs::path> made;
    for (int i = 0; i < kBackupsKept; ++i) made.push_back(BackupNamed("名称" + std::to_string(i)));
    for (const auto& file : made) EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(ListBackups(Folder()).size(), 25u);
}

TEST_F(BackupSafetyTest, ACopyOfADamagedStoreIsNeverMadeAndKeepsTheGoodOnes) {
    BackupNamed("好");
    store_.reset();
    const fs::path file = dir_.path() / kDatabaseFileName;
    const auto size = fs::file_size(file);
    ASSERT_GT(size, 4096u * 4);
    // The header of a page well inside the project table.
    Overwrite(file, size - 4096 * 2, std::string(16, '\xff'));
    SqliteDatabase damaged(file);
    try {
        MakeBackup(damaged, "项目删除");
        FAIL() << "a damaged store was backed up";
    } catch (const StoreDamaged& e) {
        EXPECT_TRUE(Contains(e.what(), file.string())) << e.what();
        EXPECT_TRUE(Contains(e.what(), "已经损坏")) << e.what();
        EXPECT_TRUE(Contains(e.what(), "已有的备份都没有改动")) << e.what();
    }
    EXPECT_EQ(ListBackups(Folder()).size(), 1u);
    for (const auto& entry : fs::directory_iterator(Folder()))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << "nothing half made";
}

TEST_F(BackupSafetyTest, ADamagedStoreLeadsToItsBackupsAndIsKeptAsideByTheRestore) {
    const fs::path good = BackupNamed("好");
    const std::string names = Names();
    store_.reset();
    const fs::path file = dir_.path() / kDatabaseFileName;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << std::string(8192, 'x');
    try {
        Store reopened(dir_.path());
        FAIL() << "opened a damaged store";
    } catch (const StoreDamaged& e) {
        const std::string text = e.what();
        for (const char* part : {"数据库文件“", "已经损坏", "备份与恢复", "zorbix-cli backups",
                                 "zorbix-cli --yes restore", "改名为"})
            EXPECT_TRUE(Contains(text, part)) << part << " in " << text;
        EXPECT_TRUE(Contains(text, file.string()));
    }
    ASSERT_EQ(RestoreDamagedStore(dir_.path(), prompter_, good.filename().string()),
              base::Outcome::Done)
        << prompter_.Texts().back();
    std::vector<fs::path> aside;
    for (const auto& entry : fs::directory_iterator(dir_.path()))
        if (entry.path().filename().string().starts_with("zorbix2013-已损坏-"))
            aside.push_back(entry.path());
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(Bytes(aside[0]), std::string(8192, 'x')) << "the damaged file is kept, not deleted";
    store_ = std::make_unique<Store>(dir_.path());
    EXPECT_EQ(Names(), names);
    records().MoveTo(1);
    EXPECT_EQ(records().history().ForProject(records().Value("JB02")).front().operation,
              "恢复备份");
}

TEST_F(BackupSafetyTest, ARestoreOfAnOlderBackupMendsWhatTheOutputsCannotCarry) {
    const fs::path backup = BackupNamed("旧");
    {
        SqliteDatabase old(backup);
        old.Execute("UPDATE kjxmzxqk SET JB01='带\tTab' WHERE JB01='旧'");
    }
    ASSERT_EQ(RestoreBackup(records(), prompter_, backup.filename().string()), base::Outcome::Done);
    records().MoveTo(1);
    EXPECT_EQ(records().Value("JB01"), "带 Tab");
    EXPECT_TRUE(Contains(prompter_.Texts().back(), "控制字符改为空格")) << prompter_.Texts().back();
}

TEST_F(BackupSafetyTest, TheNextStartRemovesWhatKilledRunsLeft) {
    store_.reset();
    fs::create_directories(Folder());
    const std::string dead = std::to_string(EndedProcess());
    const std::string alive = std::to_string(::getppid());
    const std::vector<fs::path> leftovers = {
        dir_.path() / (".项目表.csv." + dead + ".0.tmp"),
        dir_.path() / (".zorbix2013-恢复.db." + dead + ".0.tmp"),
        Folder() / (".zorbix2013-20131205-143012-备份.db." + dead + ".0.tmp"),
        Folder() / (".zorbix2013-20131205-143012-备份.db." + dead + ".0.tmp-journal"),
        Folder() / ".zorbix2013-20131205-143012-备份.db.partial",
    };
    const fs::path running = dir_.path() / (".项目表.csv." + alive + ".0.tmp");
    for (const auto& file : leftovers) std::ofstream(file) << "half";
    std::ofstream(running) << "still being written";
    store_ = std::make_unique<Store>(dir_.path());
    for (const auto& file : leftovers) EXPECT_FALSE(fs::exists(file)) << file;
    EXPECT_TRUE(fs::exists(running)) << "a running process keeps its temporary";
}

TEST(InstanceLockFile, AFailureNamesTheLockFileAndWhatIsWrong) {
    testing::TempDir dir;
    fs::create_directory(dir / ".zorbix2013.lock");
    try {
        base::InstanceLock lock(dir.path());
        FAIL() << "took a folder as the lock file";
    } catch (const base::Failure& e) {
        EXPECT_TRUE(Contains(e.what(), (dir / ".zorbix2013.lock").string())) << e.what();
        EXPECT_TRUE(Contains(e.what(), "是一个文件夹")) << e.what();
    }
}

}  // namespace
}  // namespace zorbix::store

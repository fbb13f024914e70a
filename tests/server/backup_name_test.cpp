// Backup names from a call's path: nothing that could name a file outside
// the backup folder is taken, and only listed backups are.
#include "server/backup_name.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/param_names.h"
#include "tests/support/temp_dir.h"

namespace zorbix::server {
namespace {

struct NameCase {
    std::string name;
    std::string text;
    bool looks_like_backup;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

const NameCase kNames[] = {
    {"ABackupsName", "zorbix2013-20131205-143012-追加数据.db", true},
    {"Empty", "", false},
    {"ParentFolder", "..", false},
    {"UpAndOut", "../zorbix2013.db", false},
    {"Absolute", "/etc/passwd", false},
    {"Backslash", "..\\zorbix2013.db", false},
    {"Hidden", ".zorbix2013.lock", false},
    {"DriveLetter", "C:zorbix2013.db", false},
    {"LineEnd", "zorbix2013-20131205-143012-备份.db\n", false},
    {"NulInside", std::string("zorbix2013.db\0x", 15), false},
};

class BackupName : public ::testing::TestWithParam<NameCase> {};

TEST_P(BackupName, OnlyAPlainFileNameIsTaken) {
    EXPECT_EQ(LooksLikeBackupName(GetParam().text), GetParam().looks_like_backup);
}

INSTANTIATE_TEST_SUITE_P(Names, BackupName, ::testing::ValuesIn(kNames), testing::NameMember());

TEST(ListedBackup, AFileInTheFolderThatIsNoBackupIsNotTaken) {
    testing::TempDir dir;
    std::ofstream(dir.path() / "notes.txt") << "not a backup";
    EXPECT_FALSE(IsListedBackup(dir.path(), "notes.txt"));
    EXPECT_FALSE(IsListedBackup(dir.path() / "missing", "zorbix2013-20131205-143012-备份.db"));
}

}  // namespace
}  // namespace zorbix::server

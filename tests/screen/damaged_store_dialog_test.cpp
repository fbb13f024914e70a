// The window's way back from a damaged store, driven offscreen.
#include "screen/damaged_store_dialog.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <fstream>

#include "store/backups.h"
#include "store/demo_projects.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {

class DamagedStoreDialogTest : public QObject {
    Q_OBJECT
private slots:
    void TheStoreOpensOnTheChosenBackupAfterTheQuestion();
    void SayingNoLeavesTheDamagedFileAsItWas();
};

namespace {

// A program directory with one backup of three projects and a store file
// that is no database any more.
void MakeDamagedDirectory(const std::filesystem::path& dir) {
    {
        store::Store store(dir);
        store::AddDemoProjects(store.records(), 3, 5, nullptr);
        store::MakeBackup(store.database(), "备份");
    }
    std::ofstream(dir / "zorbix2013.db", std::ios::trunc) << std::string(4096, 'x');
}

}  // namespace

void DamagedStoreDialogTest::TheStoreOpensOnTheChosenBackupAfterTheQuestion() {
    TempDir dir;
    MakeDamagedDirectory(dir.path());
    RecordingPrompter prompter;
    screen::DamagedStoreDialog dialog(dir.path(), prompter);
    QCOMPARE(dialog.table()->rowCount(), 1);
    QCOMPARE(dialog.table()->item(0, 2)->text(), QString("3"));
    dialog.findChild<QPushButton*>("CommandRestore")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    store::Store store(dir.path());
    QCOMPARE(store.records().Count(), 3);
}

void DamagedStoreDialogTest::SayingNoLeavesTheDamagedFileAsItWas() {
    TempDir dir;
    MakeDamagedDirectory(dir.path());
    RecordingPrompter prompter;
    prompter.answer_ok = false;
    QVERIFY(!screen::OpenStoreOrRestore(dir.path(), prompter));
    QVERIFY(prompter.Texts().front().find("已经损坏") != std::string::npos);
    QVERIFY(prompter.Texts().front().find("现在从备份恢复数据吗") != std::string::npos);
    std::ifstream in(dir / "zorbix2013.db");
    QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), std::string(4096, 'x'));
}

}  // namespace zorbix::testing

QTEST_MAIN(zorbix::testing::DamagedStoreDialogTest)
#include "damaged_store_dialog_test.moc"

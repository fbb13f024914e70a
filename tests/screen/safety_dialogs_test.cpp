// The review of re-sent projects and the restore dialog, driven offscreen.
#include "screen/safety_dialogs.h"

#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "store/backups.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"
#include "window_fixture.h"

namespace zorbix::testing {

class SafetyDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void ReviewReplacesOnlyTheTickedProjects();
    void RestoreDialogRestoresTheChosenBackupAfterConfirmation();
    void ToolsMenuStandsBeforeHelp();
    void HistoryShowsCaptionsNewestFirst();
};

namespace {

store::Row Project(const std::string& number, const std::string& name) {
    store::Row row(store::kColumnCount);
    row[store::kNumberColumn] = number;
    row[2] = name;
    return row;
}

exchange::ResentProject Resent(const store::Row& stored, const std::string& new_name) {
    exchange::ResentProject p{stored[store::kNumberColumn], stored, stored, {2}};
    p.incoming[2] = new_name;
    return p;
}

}  // namespace

void SafetyDialogsTest::ReviewReplacesOnlyTheTickedProjects() {
    TempDir dir;
    const auto opened = zorbix::testing::OpenTestStore(dir.path());
    store::Store& store = *opened;
    RecordingPrompter prompter;
    const auto a = Project("201300000001", "甲");
    const auto b = Project("201300000002", "乙");
    store.records().AddNew(a);
    store.records().AddNew(b);
    screen::ReviewDialog dialog(store.records(), prompter, {Resent(a, "甲新"), Resent(b, "乙新")});
    auto* tree = dialog.tree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->child(0)->text(1), QString("JB01"));
    QCOMPARE(tree->topLevelItem(0)->child(0)->text(2), QString::fromUtf8("甲"));
    QCOMPARE(tree->topLevelItem(0)->child(0)->text(3), QString::fromUtf8("甲新"));
    tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    dialog.findChild<QPushButton*>("CommandTakeIncoming")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    store.records().Reopen();
    QCOMPARE(std::string(store.records().ReadRow(1)[2]), std::string("甲"));
    QCOMPARE(std::string(store.records().ReadRow(2)[2]), std::string("乙新"));
    const auto lines = store.records().history().ForProject("201300000002");
    QCOMPARE(lines.front().operation, std::string(store::operation::kReplace));
}

void SafetyDialogsTest::RestoreDialogRestoresTheChosenBackupAfterConfirmation() {
    TempDir dir;
    const auto opened = zorbix::testing::OpenTestStore(dir.path());
    store::Store& store = *opened;
    RecordingPrompter prompter;
    store.records().AddNew(Project("201300000001", "甲"));
    QVERIFY(store::MakeBackup(store.database(), "备份"));
    store.records().AddNew(Project("201300000002", "乙"));
    screen::BackupDialog dialog(store.records(), prompter);
    QCOMPARE(dialog.table()->rowCount(), 1);
    QCOMPARE(dialog.table()->item(0, 2)->text(), QString("1"));

    prompter.answer_ok = false;
    dialog.findChild<QPushButton*>("CommandRestore")->click();
    QCOMPARE(store.records().Count(), 2);

    prompter.answer_ok = true;
    dialog.findChild<QPushButton*>("CommandRestore")->click();
    QCOMPARE(store.records().Count(), 1);
    QCOMPARE(dialog.table()->rowCount(), 2);  // the store before the restore is kept too
    QCOMPARE(dialog.table()->item(0, 1)->text(), QString::fromUtf8("恢复备份"));
    QCOMPARE(dialog.table()->item(0, 2)->text(), QString("2"));
}

void SafetyDialogsTest::ToolsMenuStandsBeforeHelp() {
    WindowFixture f;
    QStringList titles;
    for (QAction* a : f.window->menuBar()->actions()) titles << a->text();
    const int tools = titles.indexOf(QString::fromUtf8("工具(&G)"));
    QVERIFY(tools >= 0);
    QCOMPARE(titles.value(tools + 1), QString::fromUtf8("帮助(&H)"));
    QVERIFY(f.window->findChild<QAction*>("MenuBackups"));
    QVERIFY(f.window->findChild<QAction*>("MenuHistory"));
}

void SafetyDialogsTest::HistoryShowsCaptionsNewestFirst() {
    TempDir dir;
    const auto opened = zorbix::testing::OpenTestStore(dir.path());
    store::Store& store = *opened;
    auto& records = store.records();
    records.AddNew(Project("201300000001", "甲"));
    records.SetValue("JB01", "乙");
    records.WriteBack();
    screen::HistoryDialog dialog(records, "201300000001");
    auto* table = dialog.table();
    QCOMPARE(table->rowCount(), 2);
    const auto caption = QString::fromStdString(store::Columns()[2].caption).trimmed();
    QCOMPARE(table->item(0, 2)->text(), caption);
    QCOMPARE(table->item(0, 3)->text(), QString::fromUtf8("甲"));
    QCOMPARE(table->item(0, 4)->text(), QString::fromUtf8("乙"));
    QCOMPARE(table->item(1, 2)->text(), QString::fromUtf8("（整个项目）"));
}

}  // namespace zorbix::testing

QTEST_MAIN(zorbix::testing::SafetyDialogsTest)
#include "safety_dialogs_test.moc"

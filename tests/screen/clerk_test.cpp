// What a clerk sees first: every visible text of our dialogs and of the
// file dialogs the program opens is Chinese (Qt's own texts included), every
// menu of the bar opens with Alt and a letter of its own, and the columns a
// choice depends on show their texts whole at the dialogs' default size.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "report/report_files.h"
#include "report/report_messages.h"
#include "screen/field_edit.h"
#include "screen/help_window.h"
#include "screen/qt_chinese.h"
#include "screen/qt_prompter.h"
#include "screen/safety_dialogs.h"
#include "screen/screenshots.h"
#include "store/backups.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"
#include "window_fixture.h"

namespace zorbix::testing {

class ClerkTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void OurDialogsShowNoEnglish();
    void TheFileDialogsAndQtsOwnTextsShowNoEnglish();
    void EveryMenuOfTheBarHasALetterOfItsOwn();
    void TheDialogsShowNumbersCaptionsAndTimesWhole();
    void HelpWithoutADocumentViewerOpensInsideTheProgram();
    void TheReviewWorksWithoutAMouse();
};

namespace {

// The English words of a visible text: runs of two or more Latin letters,
// leaving out file patterns and the descriptions named after them ("Txt
// (*.Txt)"), paths, shortcuts after a tab, the program's name and the
// table's column names.
QStringList EnglishIn(QString text) {
    text.remove(u'&');
    text = text.section(u'\t', 0, 0);
    QSet<QString> extensions;
    static const QRegularExpression pattern(R"(\*\.([A-Za-z0-9]+))");
    for (auto m = pattern.globalMatch(text); m.hasNext();)
        extensions << m.next().captured(1).toLower();
    text.remove(pattern);
    static const QRegularExpression path(R"((^|\s)/\S*)");
    text.remove(path);
    QStringList words;
    static const QRegularExpression word("[A-Za-z]{2,}[A-Za-z0-9]*");
    for (auto m = word.globalMatch(text); m.hasNext();) {
        const QString w = m.next().captured(0);
        // Names of programs and formats are no English.
        if (extensions.contains(w.toLower()) || w == "ZORBIX" || w == "Excel" || w == "CSV")
            continue;
        if (store::FindColumn(w.toStdString())) continue;
        static const QRegularExpression code("^[A-Z]+[0-9]+$");  // "JH03" in a caption
        if (code.match(w).hasMatch()) continue;
        words << w;
    }
    return words;
}

void Collect(const QString& where, const QString& text, QStringList& english) {
    for (const QString& w : EnglishIn(text)) english << where + ": \"" + text + "\" (" + w + ")";
}

// Every text a user can see in `top` or reach in it: the title, buttons and
// their tooltips, labels, placeholders, combo box entries, the headings of
// every view, and the texts of its actions (its context menus).
QStringList EnglishOf(QWidget* top) {
    QStringList english;
    const QString name =
        top->objectName().isEmpty() ? top->metaObject()->className() : top->objectName();
    Collect(name + " title", top->windowTitle(), english);
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(top) && !qobject_cast<QHeaderView*>(w)) continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            Collect(name + " button", b->text(), english);
            Collect(name + " tooltip", b->toolTip(), english);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            Collect(name + " label", l->text(), english);
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            Collect(name + " placeholder", e->placeholderText(), english);
        } else if (auto* box = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < box->count(); ++i)
                Collect(name + " choice", box->itemText(i), english);
        } else if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
            if (auto* model = v->model())
                for (int c = 0; c < model->columnCount(); ++c)
                    Collect(name + " heading", model->headerData(c, Qt::Horizontal).toString(),
                            english);
        }
    }
    for (QAction* a : top->findChildren<QAction*>()) Collect(name + " action", a->text(), english);
    return english;
}

// Runs `open` (which shows a modal dialog) and gives the dialog to
// `inspect` once it is shown; the dialog is then rejected.
void WhileModal(const std::function<void()>& open, const std::function<void(QWidget*)>& inspect) {
    bool seen = false;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || seen) return;
        seen = true;
        QTest::qWait(50);
        inspect(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    });
    timer.start();
    open();
    timer.stop();
    QVERIFY2(seen, "the dialog did not open");
}

store::Row Project(const std::string& number, const std::string& name) {
    store::Row row(store::kColumnCount);
    row[store::kNumberColumn] = number;
    row[2] = name;
    return row;
}

// A column shows its texts whole: as wide as its widest heading or cell,
// and inside the view at the dialog's size.
void ExpectWhole(QAbstractItemView* view, QHeaderView* header, int column, const char* what) {
    const int needed = std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column));
    QVERIFY2(header->sectionSize(column) >= needed,
             qPrintable(QString("%1: column %2 is %3 wide, its texts need %4")
                            .arg(what)
                            .arg(column)
                            .arg(header->sectionSize(column))
                            .arg(needed)));
    QVERIFY2(header->sectionViewportPosition(column) + needed <= view->viewport()->width(),
             qPrintable(QString("%1: column %2 ends beyond the view (%3 + %4 > %5)")
                            .arg(what)
                            .arg(column)
                            .arg(header->sectionViewportPosition(column))
                            .arg(needed)
                            .arg(view->viewport()->width())));
}

}  // namespace

void ClerkTest::initTestCase() {
    // The widget file dialogs, which the test can look into (Qt's own on
    // every desktop without a native one, as under the offscreen platform).
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    screen::PrepareApplication(*qApp);
    QVERIFY2(screen::InstallQtChinese(*qApp), "Qt's Chinese translations (qtbase_zh_CN.qm)");
}

void ClerkTest::OurDialogsShowNoEnglish() {
    TempDir dir;
    const auto opened = zorbix::testing::OpenTestStore(dir.path());
    store::Store& store = *opened;
    auto& records = store.records();
    records.AddNew(Project("201300000001", "甲"));
    records.SetValue("JB01", "乙");
    records.WriteBack();
    QVERIFY(store::MakeBackup(store.database(), "备份"));
    RecordingPrompter prompter;
    QStringList english;
    {
        screen::BackupDialog dialog(records, prompter);
        dialog.show();
        english << EnglishOf(&dialog);
    }
    {
        screen::HistoryDialog dialog(records, "201300000001");
        dialog.show();
        english << EnglishOf(&dialog);
    }
    {
        exchange::ResentProject p{
            "201300000001", records.ReadRow(1).ToRow(), records.ReadRow(1).ToRow(), {2}};
        p.incoming[2] = "丙";
        screen::ReviewDialog dialog(records, prompter, {p});
        dialog.show();
        english << EnglishOf(&dialog);
    }
    QVERIFY2(english.isEmpty(), qPrintable(english.join("\n")));
}

void ClerkTest::TheFileDialogsAndQtsOwnTextsShowNoEnglish() {
    WindowFixture f;
    TempDir folder;
    screen::QtPrompter prompter;
    prompter.SetParent(f.window.get());
    QStringList english;
    const auto inspect = [&](QWidget* dialog) { english << EnglishOf(dialog); };
    WhileModal([&] { prompter.ChooseSaveFile({"提交数据", "kj|*.kj", folder.path()}); }, inspect);
    WhileModal(
        [&] {
            prompter.ChooseOpenFile({"导入项目表",
                                     "项目表|*.xlsx *.csv|Excel工作簿|*.xlsx|CSV文件|*.csv",
                                     folder.path()});
        },
        inspect);
    WhileModal([&] { prompter.AskText("项目定位", "项目编号："); }, inspect);
    WhileModal(
        [&] {
            prompter.Show({"ZORBIX", "文字", base::Icon::Question, base::Buttons::OkCancel});
        },
        inspect);
    // The right-click menu of a text field.
    auto* field = f.window->findChild<screen::FieldEdit*>();
    QVERIFY(field);
    std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
    for (QAction* a : menu->actions()) Collect("context menu", a->text(), english);
    QVERIFY2(english.isEmpty(), qPrintable(english.join("\n")));
}

void ClerkTest::EveryMenuOfTheBarHasALetterOfItsOwn() {
    WindowFixture f(3, true);
    QMap<int, QStringList> letters;
    for (QAction* a : f.window->menuBar()->actions()) {
        const QKeySequence key = QKeySequence::mnemonic(a->text());
        QVERIFY2(!key.isEmpty(), qPrintable(a->text() + " has no letter"));
        letters[key[0].toCombined()] << a->text();
    }
    for (const QStringList& menus : letters)
        QVERIFY2(menus.size() == 1, qPrintable("one letter for " + menus.join(", ")));
    // Alt and the letter of 工具 opens it.
    QMenu* tools = f.window->findChild<QMenu*>("MenuTools");
    QVERIFY(tools);
    const QKeySequence key = QKeySequence::mnemonic(tools->title());
    QTest::keyClick(f.window.get(), key[0].key(), Qt::AltModifier);
    QTRY_VERIFY(tools->isVisible());
    tools->close();
}

void ClerkTest::TheDialogsShowNumbersCaptionsAndTimesWhole() {
    screen::PrepareApplication(*qApp);
    TempDir dir;
    const auto opened = zorbix::testing::OpenTestStore(dir.path());
    store::Store& store = *opened;
    auto& records = store.records();
    records.AddNew(
        Project("201300000001", "一个名称相当长的科技计划项目：某某市某某区某某技术研究与示范"));
    records.SetValue("JB03", "王某某");
    records.WriteBack();
    QVERIFY(store::MakeBackup(store.database(), "追加数据"));
    RecordingPrompter prompter;
    {
        screen::BackupDialog dialog(records, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int c : {0, 1, 2})
            ExpectWhole(dialog.table(), dialog.table()->horizontalHeader(), c, "备份与恢复");
    }
    {
        screen::HistoryDialog dialog(records, "201300000001");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int c : {0, 1, 2})
            ExpectWhole(dialog.table(), dialog.table()->horizontalHeader(), c, "修改记录");
    }
    {
        // Fields with long captions, the number and the name whole.
        store::Row incoming = records.ReadRow(1).ToRow();
        std::vector<int> columns;
        for (int c = 2; c < store::kColumnCount; ++c) {
            if (store::Columns()[c].caption.size() < 24) continue;
            incoming[c] = "1";
            columns.push_back(c);
            if (columns.size() == 6) break;
        }
        exchange::ResentProject p{"201300000001", records.ReadRow(1).ToRow(), incoming, columns};
        screen::ReviewDialog dialog(records, prompter, {p});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTreeWidget* tree = dialog.tree();
        const QString title = tree->topLevelItem(0)->text(0);
        QVERIFY(title.contains("201300000001"));
        QVERIFY(title.contains(QString::fromUtf8("示范")));
        const QRect line = tree->visualItemRect(tree->topLevelItem(0));
        QVERIFY2(line.width() >= tree->fontMetrics().horizontalAdvance(title) + 40 &&
                     line.right() <= tree->viewport()->width(),
                 "the project's number and name are cut");
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(1),
                 QString::fromStdString(store::Columns()[columns[0]].name));
        for (int c : {0, 1}) ExpectWhole(tree, tree->header(), c, "已存在项目的新数据");
    }
}

// Where nothing opens the help document, 帮助信息 says so and shows the same
// text in a window of its own.
void ClerkTest::HelpWithoutADocumentViewerOpensInsideTheProgram() {
    WindowFixture f;
    std::filesystem::copy_file(std::filesystem::u8path(ZORBIX_HELP_DOCUMENT),
                               report::HelpDocumentPath(f.dir.path()));
    // Without xdg-mime and xdg-open on the path no program opens it.
    TempDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(empty.path().string()));
    f.prompter.answer_ok = true;
    f.window->Action("MenuHelpView")->trigger();
    qputenv("PATH", path);
    QVERIFY(!f.prompter.messages.empty());
    QCOMPARE(QString::fromStdString(f.prompter.messages.back().text),
             QString::fromUtf8(report::kNoHelpViewer.data(),
                               static_cast<int>(report::kNoHelpViewer.size())));
    auto* help = f.window->findChild<screen::HelpWindow*>("FormHelp");
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QVERIFY(help->text()->toPlainText().contains(QString::fromUtf8("一、系统简介")));
    QVERIFY(help->text()->toPlainText().contains(QString::fromUtf8("九、常见问题")));
    const QStringList english = EnglishOf(help);
    QVERIFY2(english.isEmpty(), qPrintable(english.join("\n")));
}

// Space ticks the project under the cursor, Alt+U takes the new data.
void ClerkTest::TheReviewWorksWithoutAMouse() {
    TempDir dir;
    const auto opened = zorbix::testing::OpenTestStore(dir.path());
    store::Store& store = *opened;
    auto& records = store.records();
    records.AddNew(Project("201300000001", "甲"));
    RecordingPrompter prompter;
    exchange::ResentProject p{
        "201300000001", records.ReadRow(1).ToRow(), records.ReadRow(1).ToRow(), {2}};
    p.incoming[2] = "甲新";
    screen::ReviewDialog dialog(records, prompter, {p});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTRY_VERIFY(dialog.tree()->hasFocus());
    dialog.tree()->setCurrentItem(dialog.tree()->topLevelItem(0));
    QTest::keyClick(dialog.tree(), Qt::Key_Space);
    QCOMPARE(dialog.tree()->topLevelItem(0)->checkState(0), Qt::Checked);
    QTest::keyClick(&dialog, Qt::Key_U, Qt::AltModifier);
    // A shortcut clicks its button a moment later, as it shows it pressed.
    QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
    records.Reopen();
    QCOMPARE(std::string(records.ReadRow(1)[2]), std::string("甲新"));
}

}  // namespace zorbix::testing

QTEST_MAIN(zorbix::testing::ClerkTest)
#include "clerk_test.moc"

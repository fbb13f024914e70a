// The project lists in the window: 导出项目表 and 导入项目表 in the menu
// 工具, the save dialog's proposal, the import's findings in the check
// result panel, and the panel saved as a workbook.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "office/sheet_reader.h"
#include "window_fixture.h"

namespace zorbix::testing {

class ListMenuTest : public QObject {
    Q_OBJECT
private slots:
    void BothItemsStandInTheToolsMenuBeforeHelp();
    void ExportProposesTheListInTheProgramDirectory();
    void ImportFillsTheStoreAndThePanel();
    void APanelSavedAsWorkbook();
};

namespace {

void Trigger(WindowFixture& f, const char* name) {
    f.Find<QAction>(name)->trigger();
    WindowFixture::Settle();
}

}  // namespace

void ListMenuTest::BothItemsStandInTheToolsMenuBeforeHelp() {
    WindowFixture f(0);
    auto* tools = f.Find<QMenu>("MenuTools");
    QStringList names;
    for (QAction* a : tools->actions())
        if (!a->isSeparator()) names << a->objectName();
    QVERIFY(names.contains("MenuExportList"));
    QVERIFY(names.contains("MenuImportList"));
    QCOMPARE(f.Find<QAction>("MenuExportList")->text(), QString::fromUtf8("导出项目表(&E)…"));
    const auto menus = f.window->menuBar()->actions();
    const auto at = [&](const char* name) {
        for (int i = 0; i < menus.size(); ++i)
            if (menus[i]->objectName() == name) return i;
        return -1;
    };
    QVERIFY(at("MenuToolsAction") >= 0);
    if (auto* help = f.window->findChild<QMenu*>("MenuHelp"))
        QCOMPARE(at("MenuToolsAction") + 1, menus.indexOf(help->menuAction()));
}

void ListMenuTest::ExportProposesTheListInTheProgramDirectory() {
    WindowFixture f(3);
    const auto file = f.dir / "项目表_2013.xlsx";
    f.prompter.files.push_back(file);
    Trigger(f, "MenuExportList");
    QCOMPARE(f.prompter.dialogs.size(), size_t{1});
    QCOMPARE(f.prompter.dialogs[0].initial_dir, file);
    QVERIFY(f.prompter.dialogs[0].filter.find("*.csv") != std::string::npos);
    QVERIFY(std::filesystem::exists(file));
    QCOMPARE(office::ReadFirstSheet(file).LastRow(), 5);
    // No file chosen: nothing written, no message.
    const auto shown = f.prompter.messages.size();
    Trigger(f, "MenuExportList");
    QCOMPARE(f.prompter.messages.size(), shown);
}

void ListMenuTest::ImportFillsTheStoreAndThePanel() {
    WindowFixture source(4);
    const auto file = source.dir / "list.csv";
    source.prompter.files.push_back(file);
    Trigger(source, "MenuExportList");
    QVERIFY(std::filesystem::exists(file));
    WindowFixture f(0);
    f.prompter.files.push_back(file);
    Trigger(f, "MenuImportList");
    QCOMPARE(f.prompter.dialogs.back().initial_dir, f.dir.path());
    QCOMPARE(f.records().Count(), 4);
    QVERIFY(f.window->PanelText().startsWith(QString::fromUtf8(" 审核结果")));
    QVERIFY(Q(f.prompter.messages.back().text).contains(QString::fromUtf8("导入4个项目")));
    // The same list again: every number stored, nothing added.
    f.prompter.files.push_back(file);
    Trigger(f, "MenuImportList");
    QCOMPARE(f.records().Count(), 4);
}

void ListMenuTest::APanelSavedAsWorkbook() {
    WindowFixture f(0);
    f.records().AddNew();
    f.records().SetValue("JB02", "201300000001");
    f.records().WriteBack();
    f.Click("CommandCheck");
    WindowFixture::Settle();
    QVERIFY(f.window->PanelText().contains(QString::fromUtf8("项目201300000001")));
    const auto file = f.dir / "结果.xlsx";
    f.prompter.files.push_back(file);
    f.Click("CommandSaveCheckReport");
    WindowFixture::Settle();
    QVERIFY(f.prompter.dialogs.back().filter.find("*.xlsx") != std::string::npos);
    const office::Sheet sheet = office::ReadFirstSheet(file);
    QVERIFY(sheet.LastRow() > 1);
    QCOMPARE(QString::fromStdString(sheet.At(2, 1).text), QString("201300000001"));
}

}  // namespace zorbix::testing

ZORBIX_SCREEN_TEST_MAIN(zorbix::testing::ListMenuTest)
#include "list_menu_test.moc"

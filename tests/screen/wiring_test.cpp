// The buttons of the subsystems reach their operations: the panel shows what
// the batch tool prints, the page buttons keep a table with findings open.
#include <QPushButton>
#include <QTest>

#include "store/catalogue.h"
#include "tests/support/cli_runner.h"
#include "window_fixture.h"

namespace zorbix::testing {

class WiringTest : public QObject {
    Q_OBJECT
private slots:
    void CheckAllShowsWhatTheBatchToolPrints();
    void BalanceErrorKeepsTheUserOnTableTwo();
    void ClearEmptiesThePanel();
    void ReconcileWithoutAPlanKeepsThePanelAndSaysWhy();
};

namespace {

void Click(WindowFixture& f, const char* name) {
    QPushButton* button = f.window->Button(name);
    QVERIFY2(button, name);
    button->click();
    WindowFixture::Settle();
}

}  // namespace

void WiringTest::CheckAllShowsWhatTheBatchToolPrints() {
    std::string panel;
    auto dir = std::make_unique<WindowFixture>(6);
    {
        WindowFixture& f = *dir;
        f.records().MoveTo(2);
        f.records().SetValue("JF1701", "123456");  // breaks the income sum
        f.records().MoveTo(5);
        f.records().SetValue("JB24", "12");  // a postal code of two digits
        Click(f, "CommandCheck");
        panel = f.window->PanelText().toStdString();
        QVERIFY(panel.rfind(" 审核结果\r\n", 0) == 0);
        QVERIFY(panel.find("JH24邮政编码填写有误") != std::string::npos);
        QVERIFY(panel.find("累计数有误") != std::string::npos);
        QCOMPARE(Q(f.prompter.messages.back().text), Q("审核完成，请在数据审核结果框内查看结果。"));
    }
    const auto path = dir->dir.path();
    dir->window.reset();
    dir->store.reset();
    const CliResult cli = RunCli(path, {"check"});
    std::string expected;
    for (std::size_t i = 0; i < panel.size(); ++i)
        if (!(panel[i] == '\r' && i + 1 < panel.size() && panel[i + 1] == '\n')) expected += panel[i];
    QCOMPARE(Q(cli.out), Q(expected));
}

void WiringTest::BalanceErrorKeepsTheUserOnTableTwo() {
    WindowFixture f(3);
    f.records().MoveFirst();
    const std::string income(f.records().Value("JF1001"));
    f.Open(screen::PageId::TableTwo);
    f.records().SetValue("JF1001", "9999999");
    Click(f, "CommandBack2");
    QCOMPARE(f.window->CurrentPage(), screen::PageId::TableTwo);
    QVERIFY(f.prompter.messages.back().text.find("累计数有误") != std::string::npos);
    f.records().SetValue("JF1001", income);
    Click(f, "CommandBack2");
    QCOMPARE(f.window->CurrentPage(), screen::PageId::TableThree);
}

void WiringTest::ClearEmptiesThePanel() {
    WindowFixture f(1);
    f.window->SetPanelText("项目1 表一\r\n");
    Click(f, "CommandCheckClear");
    QVERIFY(f.window->PanelText().isEmpty());
}

void WiringTest::ReconcileWithoutAPlanKeepsThePanelAndSaysWhy() {
    WindowFixture f(2, true);
    f.window->SetPanelText("旧的结果");
    Click(f, "CommandItem");
    QCOMPARE(f.window->PanelText(), QString("旧的结果"));
    QVERIFY(f.prompter.messages.back().text.find("2013计划") != std::string::npos);
}

}  // namespace zorbix::testing

QTEST_MAIN(zorbix::testing::WiringTest)
#include "wiring_test.moc"

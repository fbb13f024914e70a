// The buttons of the subsystems reach their operations: the panel shows what
// the batch tool prints, the page buttons keep a table with findings open.
#include <QPushButton>
#include <QTest>

#include "store/catalogue.h"
#include "tests/office/test_workbooks.h"
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
    void ReconcileShowsWhatTheBatchToolPrints();
};

namespace {

// The panel's CR LF line ends as the batch tool prints them.
std::string AsPrinted(const std::string& panel) {
    std::string out;
    for (std::size_t i = 0; i < panel.size(); ++i)
        if (!(panel[i] == '\r' && i + 1 < panel.size() && panel[i + 1] == '\n')) out += panel[i];
    return out;
}

void Click(WindowFixture& f, const char* name) {
    f.Find<QPushButton>(name)->click();
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
    QCOMPARE(Q(cli.out), Q(AsPrinted(panel)));
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

void WiringTest::ReconcileShowsWhatTheBatchToolPrints() {
    auto f = std::make_unique<WindowFixture>(5, true);
    const auto numbers = f->records().ColumnValues(store::ColumnIndex("JB02"));
    const TestRow heading = {std::string("序号"),     std::string("项目编号"),
                             std::string("项目名称"), std::string("承担单位"),
                             std::string("处室"),     std::string("金额")};
    auto row = [](const std::string& number, double amount) {
        return TestRow{std::string("1"),    std::stod(number),   std::string("名称"),
                       std::string("单位"), std::string("处室"), amount};
    };
    // One planned project missing from the store, one amount off, one stored
    // project not planned.
    WriteTestXlsx(f->dir / "2013计划.xlsx", {heading, row(numbers[0], 0), row("201399999999", 10),
                                             row(numbers[2], 12345), row(numbers[3], 0)});
    Click(*f, "CommandItem");
    const std::string panel = f->window->PanelText().toStdString();
    QVERIFY(panel.find("201399999999") != std::string::npos);
    const auto path = f->dir.path();
    f->window.reset();
    f->store.reset();
    const CliResult cli = RunCli(path, {"reconcile"});
    QCOMPARE(Q(cli.out), Q(AsPrinted(panel)));
}

}  // namespace zorbix::testing

QTEST_MAIN(zorbix::testing::WiringTest)
#include "wiring_test.moc"

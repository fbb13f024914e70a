// The result panel as a work list: every finding line leads to its project,
// page and field; F8 and Shift+F8 walk the lines; a mended field greys its
// lines; a refused page leave puts the cursor on the first failing field.
#include <QPlainTextEdit>
#include <QTextBlock>

#include "check/check_runs.h"
#include "check/finding_fields.h"
#include "screen/captions.h"
#include "screen/finding_navigator.h"
#include "screen/list_page.h"
#include "screen/project_table_model.h"
#include "window_fixture.h"

using namespace zorbix;
using namespace zorbix::testing;
using screen::PageId;

namespace {

PageId PageOfColumn(int column) {
    switch (store::Columns()[column].page) {
        case store::Page::TableOne: return PageId::TableOne;
        case store::Page::TableTwo: return PageId::TableTwo;
        case store::Page::TableThree: return PageId::TableThree;
        case store::Page::TableFour: return PageId::TableFour;
        default: return PageId::Cover;
    }
}

// Breaks one rule of every page: the cover, tables one to four.
void BreakEveryPage(store::RecordSet& records) {
    const std::vector<std::pair<const char*, const char*>> breaks = {{"JB01", "ab"},
                                                                     {"JB24", "123"},
                                                                     {"JF4001", "99999"},
                                                                     {"JL160", "99999"},
                                                                     {"JG710", "99999"}};
    for (std::size_t i = 0; i < breaks.size(); ++i) {
        records.MoveTo(static_cast<int>(i) + 1);
        records.SetValue(breaks[i].first, breaks[i].second);
        records.WriteBack();
    }
    records.MoveFirst();
}

}  // namespace

class FindingsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void EveryLineLeadsToItsProjectPageAndField();
    void EnterAndDoubleClickJumpAndKeepTheLineSelected();
    void LinesWithoutAProjectDoNothing();
    void F8AndShiftF8WalkTheFindingsFromAnywhere();
    void AMendedFieldGreysItsLinesUntilTheNextCheck();
    void ARefusedPageLeavePutsTheCursorOnTheFailingField();
    void TheGridCountsTheFindingsOfTheLastCheck();
    void ThePanelHoldsTheFindingsOfTheCheck();
    void AnEditedLineIsReadFromItsText();

private:
    void CheckAll();
    int LineOf(const QString& text) const;
    QPlainTextEdit* Panel() const { return f_->window->list_page()->panel(); }
    screen::FindingNavigator* Navigator() const { return f_->window->findings(); }

    std::unique_ptr<WindowFixture> f_;
};

void FindingsTest::init() {
    f_ = std::make_unique<WindowFixture>(8);
    BreakEveryPage(f_->records());
    WindowFixture::Settle();
}

void FindingsTest::cleanup() { f_.reset(); }

void FindingsTest::CheckAll() {
    f_->Click("CommandCheck");
    WindowFixture::Settle();
}

int FindingsTest::LineOf(const QString& text) const {
    for (QTextBlock b = Panel()->document()->begin(); b.isValid(); b = b.next())
        if (b.text().contains(text)) return b.blockNumber();
    return -1;
}

void FindingsTest::EveryLineLeadsToItsProjectPageAndField() {
    CheckAll();
    QSet<PageId> pages;
    int findings = 0;
    for (QTextBlock b = Panel()->document()->begin(); b.isValid(); b = b.next()) {
        const auto finding = check::ParseFindingLine(b.text().toStdString());
        if (!finding) continue;
        ++findings;
        QVERIFY(Navigator()->JumpTo(b.blockNumber()));
        WindowFixture::Settle();
        QCOMPARE(std::string(f_->records().Value(store::kNumberColumn)), finding->number);
        const int column = check::FocusColumn(finding->message, f_->records().Current());
        QCOMPARE(f_->window->CurrentPage(), PageOfColumn(column));
        QCOMPARE(f_->Focused(), Q(store::Columns()[column].field));
        pages.insert(f_->window->CurrentPage());
    }
    QVERIFY(findings >= 5);
    QCOMPARE(pages.size(), 5);  // the cover and all four tables
}

void FindingsTest::EnterAndDoubleClickJumpAndKeepTheLineSelected() {
    CheckAll();
    const int line = LineOf("JH24邮政编码");
    QVERIFY(line > 0);
    f_->window->ShowPage(PageId::List);
    QTextCursor at(Panel()->document()->findBlockByNumber(line));
    Panel()->setTextCursor(at);
    Panel()->setFocus();
    const QString before = f_->window->PanelText();
    QTest::keyClick(Panel(), Qt::Key_Return);
    WindowFixture::Settle();
    QCOMPARE(f_->window->CurrentPage(), PageId::TableOne);
    QCOMPARE(f_->Focused(), QString("TextJB24"));
    QCOMPARE(Panel()->textCursor().selectedText(),
             Panel()->document()->findBlockByNumber(line).text());
    QCOMPARE(f_->window->PanelText(), before);  // Enter jumped, it typed nothing

    const int cover = LineOf("JH01项目名称");
    f_->window->ShowPage(PageId::List);
    WindowFixture::Settle();
    const QRect where =
        Panel()->cursorRect(QTextCursor(Panel()->document()->findBlockByNumber(cover)));
    QTest::mouseDClick(Panel()->viewport(), Qt::LeftButton, {}, where.center());
    WindowFixture::Settle();
    QCOMPARE(f_->window->CurrentPage(), PageId::Cover);
    QCOMPARE(f_->Focused(), QString("TextJB01"));
}

void FindingsTest::LinesWithoutAProjectDoNothing() {
    CheckAll();
    f_->window->ShowPage(PageId::List);
    const int position = f_->records().Position();
    QVERIFY(!Navigator()->JumpTo(0));  // " 审核结果"
    QVERIFY(!Navigator()->JumpTo(9999));
    QCOMPARE(f_->records().Position(), position);
    QCOMPARE(f_->window->CurrentPage(), PageId::List);
    // A finding of a project no longer stored says so and moves nothing.
    f_->window->SetPanelText("项目209900000000 表一 JH24邮政编码填写有误！\r\n");
    QVERIFY(!Navigator()->JumpTo(0));
    QCOMPARE(f_->prompter.Texts().back(), "未找到要定位的项目！请检查项目编号是否正确。");
    QCOMPARE(f_->records().Position(), position);
}

void FindingsTest::F8AndShiftF8WalkTheFindingsFromAnywhere() {
    CheckAll();
    std::vector<int> lines;
    for (QTextBlock b = Panel()->document()->begin(); b.isValid(); b = b.next())
        if (check::ParseFindingLine(b.text().toStdString())) lines.push_back(b.blockNumber());
    QVERIFY(lines.size() >= 3);
    f_->window->ShowPage(PageId::Start);
    f_->window->setFocus();
    QTest::keyClick(f_->window.get(), Qt::Key_F8);
    QCOMPARE(Navigator()->current_line(), lines[0]);
    // From inside a field of a page, F8 goes on.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    QCOMPARE(Navigator()->current_line(), lines[1]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    QCOMPARE(Navigator()->current_line(), lines[2]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(Navigator()->current_line(), lines[1]);
    f_->window->ShowPage(PageId::List);
    f_->Click("CommandNextFinding");
    QCOMPARE(Navigator()->current_line(), lines[2]);
    f_->window->ShowPage(PageId::List);
    f_->Click("CommandPreviousFinding");
    QCOMPARE(Navigator()->current_line(), lines[1]);
    WindowFixture::Settle();
    const auto finding = check::ParseFindingLine(
        Panel()->document()->findBlockByNumber(lines[1]).text().toStdString());
    QCOMPARE(std::string(f_->records().Value(store::kNumberColumn)), finding->number);
}

void FindingsTest::AMendedFieldGreysItsLinesUntilTheNextCheck() {
    CheckAll();
    const int line = LineOf("JH24邮政编码");
    const int other = LineOf("JH41项目参加人员");
    QVERIFY(Navigator()->JumpTo(line));
    WindowFixture::Settle();
    auto* field = f_->Field("TextJB24");
    QCOMPARE(f_->Focused(), QString("TextJB24"));
    field->selectAll();
    Type(field, "100010");
    QVERIFY(!Navigator()->IsStale(line));  // still in the field
    QTest::keyClick(field, Qt::Key_Tab);
    WindowFixture::Settle();
    QVERIFY(Navigator()->IsStale(line));
    QVERIFY(other < 0 || !Navigator()->IsStale(other));
    const QTextBlock block = Panel()->document()->findBlockByNumber(line);
    QCOMPARE(block.begin().fragment().charFormat().foreground().color(), QColor(0x99, 0x99, 0x99));
    const QString text = f_->window->PanelText();
    CheckAll();
    QVERIFY(!Navigator()->IsStale(line));
    QVERIFY(f_->window->PanelText() != text);  // the mended finding is gone
}

void FindingsTest::ARefusedPageLeavePutsTheCursorOnTheFailingField() {
    f_->records().MoveTo(3);  // its table two breaks the JF400 balance
    f_->Open(PageId::TableTwo, "TextJF3001");
    f_->Click("CommandBack2");
    WindowFixture::Settle();
    QCOMPARE(f_->window->CurrentPage(), PageId::TableTwo);
    QVERIFY(f_->prompter.Texts().back().find("JF400") != std::string::npos);
    QCOMPARE(f_->Focused(), QString("TextJF1001"));
    // Table one fails on the participants first.
    f_->records().MoveTo(2);
    f_->records().SetValue("JB411", "");
    f_->Open(PageId::TableOne, "TextJB21");
    f_->Click("CommandBack1");
    WindowFixture::Settle();
    QCOMPARE(f_->window->CurrentPage(), PageId::TableOne);
    QCOMPARE(f_->Focused(), QString("TextJB411"));
}

void FindingsTest::TheGridCountsTheFindingsOfTheLastCheck() {
    auto* model = f_->window->list_page()->model();
    QCOMPARE(model->index(5, 4).data().toString(), QString());
    CheckAll();
    QCOMPARE(model->index(0, 4).data().toString(), QString("1"));
    QCOMPARE(model->index(5, 4).data().toString(), QString("✓"));
    f_->records().MoveTo(2);
    f_->records().SetValue("JB24", "100010");
    f_->window->ShowPage(PageId::List);
    f_->Click("CommandCheckItem");
    WindowFixture::Settle();
    QCOMPARE(model->index(1, 4).data().toString(), QString("✓"));
    QCOMPARE(model->index(0, 4).data().toString(), QString("1"));
}

void FindingsTest::ThePanelHoldsTheFindingsOfTheCheck() {
    CheckAll();
    const std::vector<check::Finding> shown = f_->window->PanelFindings();
    std::string panel;
    std::vector<check::Finding> checked;
    QCOMPARE(check::CheckAllProjects(f_->records(), f_->prompter, panel, &checked),
             base::Outcome::Done);
    QCOMPARE(f_->window->PanelText().toStdString(), panel);
    QCOMPARE(shown.size(), checked.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        QCOMPARE(shown[i].project, checked[i].project);
        QCOMPARE(shown[i].text, checked[i].text);
        QCOMPARE(shown[i].column, checked[i].column);
    }
}

void FindingsTest::AnEditedLineIsReadFromItsText() {
    CheckAll();
    const int line = LineOf("JH24邮政编码");
    QVERIFY(line > 0);
    QTextCursor cursor(Panel()->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText("随手记下的一行");
    QVERIFY(!Navigator()->JumpTo(line));
    cursor.insertText(
        "\n项目" +
        QString::fromStdString(std::string(f_->records().ReadRow(2)[store::kNumberColumn])) +
        " 表一 JH24邮政编码填写有误！");
    QVERIFY(Navigator()->JumpTo(line + 1));
    WindowFixture::Settle();
    QCOMPARE(f_->records().Position(), 2);
    QCOMPARE(f_->Focused(), QString("TextJB24"));
}

ZORBIX_SCREEN_TEST_MAIN(FindingsTest)
#include "findings_test.moc"

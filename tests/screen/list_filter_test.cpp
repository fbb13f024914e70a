// The list page for hundreds of projects: the filter narrows the rows as the
// clerk types (width and case ignored), the findings switch shows only
// projects with findings, a heading sorts and "按录入顺序" brings the store
// order back, and none of it changes the order of what is written. Also the
// window faults a clerk met: a mended project number that could not be left,
// typing that vanished before the first move, a cut navigator caption.
#include <QCheckBox>
#include <QCollator>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "base/gbk.h"
#include "base/search_text.h"
#include "screen/captions.h"
#include "screen/list_page.h"
#include "screen/project_table_model.h"
#include "screen/qt_prompter.h"
#include "window_fixture.h"

using namespace zorbix;
using namespace zorbix::testing;
using screen::PageId;

namespace {

constexpr int kProjects = 300;

// The numbers of the rows the grid shows, top to bottom.
std::vector<std::string> ShownNumbers(QTableView* grid) {
    std::vector<std::string> numbers;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        numbers.push_back(grid->model()->index(r, 1).data().toString().toStdString());
    return numbers;
}

}  // namespace

class ListFilterTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void TheFilterNarrowsTheRowsAsTheClerkTypes();
    void TheFindingsSwitchShowsOnlyProjectsWithFindings();
    void AHeadingSortsAndStoreOrderComesBack();
    void SubmitWritesStoreOrderWhateverTheGridShows();
    void CtrlFPutsTheCursorIntoTheFilterFromAnyPage();
    void NewControlsHaveMnemonicsAndTakeTheFocus();
    void AMendedProjectNumberCanBeLeft();
    void NothingTypedVanishesBeforeTheFirstMove();
    void TheNavigatorCaptionFits();
    void TheLastChangeComesFromTheHistory();

private:
    QTableView* Grid() const { return f_->window->list_page()->grid(); }
    QLineEdit* Filter() const { return f_->window->list_page()->filter(); }
    std::vector<std::string> Matching(const std::string& needle) const;

    std::unique_ptr<WindowFixture> f_;
};

void ListFilterTest::init() {
    f_ = std::make_unique<WindowFixture>(kProjects);
    f_->window->ShowPage(PageId::List);
    WindowFixture::Settle();
}

void ListFilterTest::cleanup() { f_.reset(); }

std::vector<std::string> ListFilterTest::Matching(const std::string& needle) const {
    const std::string folded = base::SearchFolded(needle);
    std::vector<std::string> out;
    for (int p = 1; p <= f_->records().Count(); ++p) {
        const store::Record row = f_->records().ReadRow(p);
        for (const char* column : {"JB02", "JB01", "XMCDDW"})
            if (base::SearchFolded(row[store::ColumnIndex(column)]).find(folded) !=
                std::string::npos) {
                out.emplace_back(row[store::kNumberColumn]);
                break;
            }
    }
    return out;
}

void ListFilterTest::TheFilterNarrowsTheRowsAsTheClerkTypes() {
    const store::Record third = f_->records().ReadRow(3);
    const std::string unit(third[store::ColumnIndex("XMCDDW")]);
    const std::string name(third[store::ColumnIndex("JB01")]);
    const std::string number(third[store::kNumberColumn]);
    const QString half_number = Q(number).right(4);
    QString full_number;  // the same digits typed full-width
    for (QChar c : half_number) full_number += QChar(c.unicode() - '0' + 0xFF10);
    const struct {
        QString typed;
        std::string needle;
    } cases[] = {
        {Q(unit).left(4), unit.substr(0, 12)},
        {Q(name).mid(2, 3), Q(name).mid(2, 3).toStdString()},
        {full_number, half_number.toStdString()},
        {"没有这样的项目", "没有这样的项目"},
    };
    for (const auto& c : cases) {
        Filter()->clear();
        Filter()->setFocus();
        Type(Filter(), c.typed);  // live, key by key
        WindowFixture::Settle();
        QCOMPARE(ShownNumbers(Grid()), Matching(c.needle));
    }
    Filter()->clear();
    WindowFixture::Settle();
    QCOMPARE(Grid()->model()->rowCount(), kProjects);
    // A filtered row still selects its own project.
    Type(Filter(), half_number);
    WindowFixture::Settle();
    QVERIFY(Grid()->model()->rowCount() >= 1);
    Grid()->selectRow(0);
    QCOMPARE(std::string(f_->records().Value(store::kNumberColumn)), ShownNumbers(Grid())[0]);
}

void ListFilterTest::TheFindingsSwitchShowsOnlyProjectsWithFindings() {
    for (int p : {7, 40, 222}) {
        f_->records().MoveTo(p);
        f_->records().SetValue("JB24", "1");
        f_->records().WriteBack();
    }
    f_->Click("CommandCheck");
    WindowFixture::Settle();
    f_->Find<QCheckBox>("CheckOnlyFindings")->setChecked(true);
    WindowFixture::Settle();
    const std::vector<std::string> expected = {std::string(f_->records().ReadRow(7)[1]),
                                               std::string(f_->records().ReadRow(40)[1]),
                                               std::string(f_->records().ReadRow(222)[1])};
    QCOMPARE(ShownNumbers(Grid()), expected);
    f_->Find<QCheckBox>("CheckOnlyFindings")->setChecked(false);
    WindowFixture::Settle();
    QCOMPARE(Grid()->model()->rowCount(), kProjects);
}

void ListFilterTest::AHeadingSortsAndStoreOrderComesBack() {
    const std::vector<std::string> store_order = ShownNumbers(Grid());
    QHeaderView* header = Grid()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    WindowFixture::Settle();
    std::vector<QString> names;
    for (int r = 0; r < kProjects; ++r)
        names.push_back(Grid()->model()->index(r, 2).data().toString());
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    for (std::size_t i = 1; i < names.size(); ++i)
        QVERIFY2(collator.compare(names[i - 1], names[i]) <= 0, qPrintable(names[i]));
    QVERIFY(ShownNumbers(Grid()) != store_order);
    // The record set keeps its order: position 1 is still the first number.
    QCOMPARE(std::string(f_->records().ReadRow(1)[1]), store_order[0]);
    f_->Click("CommandStoreOrder");
    WindowFixture::Settle();
    QCOMPARE(ShownNumbers(Grid()), store_order);
}

void ListFilterTest::SubmitWritesStoreOrderWhateverTheGridShows() {
    Grid()->sortByColumn(2, Qt::DescendingOrder);
    Type(Filter(), "1");
    WindowFixture::Settle();
    const auto out = f_->dir / "all.kj";
    f_->prompter.files.push_back(out);
    f_->Click("CommandExcel");
    WindowFixture::Settle();
    std::ifstream in(out, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    std::size_t at = 0;
    for (int p = 1; p <= kProjects; ++p) {
        const std::string number(f_->records().ReadRow(p)[1]);
        const std::size_t found = text.find(number, at);
        QVERIFY2(found != std::string::npos, number.c_str());
        at = found + number.size();
    }
}

void ListFilterTest::CtrlFPutsTheCursorIntoTheFilterFromAnyPage() {
    f_->records().MoveTo(5);
    f_->Open(PageId::TableTwo, "TextJF1001");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    WindowFixture::Settle();
    QCOMPARE(f_->window->CurrentPage(), PageId::List);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Filter()));
}

void ListFilterTest::NewControlsHaveMnemonicsAndTakeTheFocus() {
    QWidget* controls[] = {Filter(), f_->Find("CheckOnlyFindings"), f_->Find("CommandStoreOrder"),
                           f_->Find("CommandNextFinding"), f_->Find("CommandPreviousFinding")};
    for (QWidget* w : controls)
        QVERIFY2(w->focusPolicy() & Qt::TabFocus, qPrintable(w->objectName()));
    for (const char* name : {"CheckOnlyFindings", "CommandStoreOrder", "CommandNextFinding",
                             "CommandPreviousFinding"}) {
        const QString text = f_->Find(name)->property("text").toString();
        QVERIFY2(text.contains('&'), name);
    }
    bool labelled = false;
    for (QLabel* label : f_->window->list_page()->findChildren<QLabel*>())
        labelled = labelled || (label->buddy() == Filter() && label->text().contains('&'));
    QVERIFY(labelled);
    // The grid keeps its keys.
    Grid()->setFocus();
    Grid()->selectRow(0);
    QTest::keyClick(Grid(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(Grid(), Qt::Key_PageUp);
    QTest::keyClick(Grid(), Qt::Key_Down);
    WindowFixture::Settle();
    QVERIFY(f_->records().Position() > 1);
}

void ListFilterTest::AMendedProjectNumberCanBeLeft() {
    // With the real message box, closed as a clerk would close it.
    screen::QtPrompter prompter;
    screen::MainWindow window(*f_->store, prompter);
    prompter.SetParent(&window);
    f_->window->hide();
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    f_->records().MoveTo(1);
    window.ShowPage(PageId::Cover);
    WindowFixture::Settle();
    auto* number = window.findChild<screen::FieldEdit*>("TextJB02");
    number->setFocus();
    WindowFixture::Settle();
    number->selectAll();
    Type(number, "20130000001");  // eleven digits
    bool closed = false;
    QTimer::singleShot(100, [&closed] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            static_cast<QMessageBox*>(box)->accept();
            closed = true;
        }
    });
    QTest::keyClick(number, Qt::Key_Tab);
    QTRY_VERIFY(closed);
    WindowFixture::Settle();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(number));
    Type(QApplication::focusWidget(), "9");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    WindowFixture::Settle();
    QVERIFY(QApplication::focusWidget() != number);
    QCOMPARE(std::string(f_->records().Value("JB02")), std::string("201300000019"));
    int highlighted = 0;
    for (QLabel* label : window.findChildren<QLabel*>())  // captions have no meta-object
        if (auto* caption = dynamic_cast<screen::CaptionLabel*>(label))
            highlighted += caption->highlighted() ? 1 : 0;
    QCOMPARE(highlighted,
             QApplication::focusWidget()->inherits("zorbix::screen::FieldEdit") ? 1 : 0);
}

void ListFilterTest::NothingTypedVanishesBeforeTheFirstMove() {
    f_->window.reset();
    f_->records().Reopen();  // as at start: no record is current
    f_->window = std::make_unique<screen::MainWindow>(*f_->store, f_->prompter);
    f_->window->show();
    QVERIFY(QTest::qWaitForWindowActive(f_->window.get()));
    f_->Click("CommandEditData");
    f_->Click("CommandEdit");
    WindowFixture::Settle();
    QCOMPARE(f_->window->CurrentPage(), PageId::Cover);
    QCOMPARE(f_->Find<QLabel>("NavigatorCaption")->text(), QString("0000/0000"));
    auto* name = f_->Field("TextJB01");
    name->setFocus();
    Type(name, "新项目");
    WindowFixture::Settle();
    // The field takes no text, so none can be dropped; the hint says why.
    QVERIFY(name->isReadOnly());
    QCOMPARE(name->text(), QString());
    QVERIFY(!f_->records().HasPendingChange());
    QVERIFY(!f_->Field("TextItemName")->placeholderText().isEmpty());
    // After the first move the fields take input again.
    f_->records().MoveTo(2);
    WindowFixture::Settle();
    QVERIFY(!name->isReadOnly());
    QVERIFY(f_->Field("TextItemName")->placeholderText().isEmpty());
}

void ListFilterTest::TheNavigatorCaptionFits() {
    auto* caption = f_->Find<QLabel>("NavigatorCaption");
    for (const char* text : {"0000/0000", "0300/0300"}) {
        caption->setText(text);
        WindowFixture::Settle();
        QVERIFY2(caption->contentsRect().width() >= caption->fontMetrics().horizontalAdvance(text),
                 text);
        QVERIFY(caption->contentsRect().height() >= caption->fontMetrics().height());
    }
}

void ListFilterTest::TheLastChangeComesFromTheHistory() {
    auto* model = Grid()->model();
    // Demo projects came in with a history line each.
    QVERIFY(!model->index(0, 5).data().toString().isEmpty());
    f_->records().MoveTo(4);
    const QString before = model->index(3, 5).data().toString();
    f_->records().SetValue("JB24", "100010");
    f_->records().MoveTo(5);  // writes the change back
    WindowFixture::Settle();
    const QString after = model->index(3, 5).data().toString();
    QCOMPARE(after.size(), 19);  // "yyyy-MM-dd HH:mm:ss"
    QVERIFY(after >= before);
    QCOMPARE(after.toStdString(),
             f_->records().history().ForProject(std::string(f_->records().ReadRow(4)[1]))[0].time);
}

ZORBIX_SCREEN_TEST_MAIN(ListFilterTest)
#include "list_filter_test.moc"

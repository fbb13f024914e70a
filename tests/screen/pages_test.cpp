// Pages and navigation: the ring with its focus targets and leave checks,
// closing, resizing back to the start screen, the summary template test,
// adding a project, ending editing, locating, the navigator caption, the
// menus and the layout of every page (no overlapping fields, every caption
// shown whole).
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "screen/captions.h"
#include "screen/form_page.h"
#include "screen/pickers.h"
#include "screen/twips.h"
#include "window_fixture.h"

using namespace zorbix;
using namespace zorbix::testing;
using screen::PageId;
using screen::Px;

class PagesTest : public QObject {
    Q_OBJECT
private slots:
    void StartsOnTheStartScreen();
    void RingRunsThroughThePagesWithTheirFocusTargets();
    void RefusedLeaveCheckKeepsThePage();
    void ClosingReturnsToTheList();
    void ResizingShowsTheStartScreen();
    void MissingTemplateHidesTwoCommands();
    void PresentTemplateShowsAllTen();
    void AddingAProjectOpensTheCover();
    void EndingEditingClosesTheList();
    void LocatingFromTheTitleStrip();
    void NavigatorCaption();
    void MenusAreGreyedButHelp();
    void NoTwoFieldsOverlapAndEveryCaptionShows();
    void PendingChangeIsWrittenWhenTheProgramEnds();
};

void PagesTest::StartsOnTheStartScreen() {
    WindowFixture f;
    QCOMPARE(f.window->CurrentPage(), PageId::Start);
    QCOMPARE(f.window->windowTitle(), QString("Qorvath省科技计划项目执行情况年度调查(2013)"));
    f.Click("CommandEditData");
    QCOMPARE(f.window->CurrentPage(), PageId::List);
}

void PagesTest::RingRunsThroughThePagesWithTheirFocusTargets() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::Cover);
    struct Step {
        const char* button;
        PageId page;
        const char* focus;
    };
    const Step forward[] = {
        {"CommandBackCover", PageId::TableOne, "TextJB21"},
        {"CommandBack1", PageId::TableTwo, "TextJF1001"},
        {"CommandBack2", PageId::TableThree, "TextJL100"},
        {"CommandBack3", PageId::TableFour, "TextJG131"},
        {"CommandBack4", PageId::Cover, "TextJB01"},
        {"CommandFrontCover", PageId::TableFour, "TextJG131"},
        {"CommandFront4", PageId::TableThree, "TextJL100"},
        {"CommandFront3", PageId::TableTwo, "TextJF1002"},
        {"CommandFront2", PageId::TableOne, "TextJB21"},
        {"CommandFront1", PageId::Cover, "TextJB01"},
    };
    for (const Step& s : forward) {
        f.Click(s.button);
        f.Settle();
        QCOMPARE(f.window->CurrentPage(), s.page);
        QCOMPARE(f.Focused(), QString(s.focus));
    }
    QCOMPARE(f.window->Button("CommandFront3")->text(), QString("上一页 "));
}

void PagesTest::RefusedLeaveCheckKeepsThePage() {
    WindowFixture f;
    f.records().MoveFirst();
    std::vector<int> asked;
    f.window->SetLeaveCheck([&asked](int table) {
        asked.push_back(table);
        return table != 1;
    });
    f.Click("CommandEditData");
    f.Open(PageId::TableOne, "TextJB26");
    QVERIFY(f.window->pickers()->Box(store::Picker::JB26)->isVisible());
    f.Click("CommandBack1");
    f.Click("CommandFront1");
    QCOMPARE(f.window->CurrentPage(), PageId::TableOne);
    QVERIFY(!f.window->pickers()->Box(store::Picker::JB26)->isVisible());
    f.Click("CommandClose1");  // never stopped
    QCOMPARE(f.window->CurrentPage(), PageId::List);
    f.Open(PageId::Cover);
    f.Click("CommandFrontCover");  // no check
    f.Click("CommandBack4");
    QCOMPARE(f.window->CurrentPage(), PageId::Cover);
    QCOMPARE(asked, (std::vector<int>{1, 1, 4}));
}

void PagesTest::ClosingReturnsToTheList() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Click("CommandEditData");
    f.Click("CommandEdit");
    QCOMPARE(f.window->CurrentPage(), PageId::Cover);
    f.Click("CommandBackCover");
    f.Click("CommandBack1");
    f.Click("CommandClose2");
    QCOMPARE(f.window->CurrentPage(), PageId::List);
}

void PagesTest::ResizingShowsTheStartScreen() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Click("CommandEditData");
    f.Open(PageId::TableThree);
    f.window->resize(f.window->width() + 200, f.window->height() + 100);
    f.Settle();
    QCOMPARE(f.window->CurrentPage(), PageId::Start);
    auto* background = f.Find("ImageBackground");
    QCOMPARE(background->width(), f.Find("ClientArea")->width());
    QCOMPARE(background->y(), Px(500));
    QCOMPARE(background->height(), f.Find("ClientArea")->height() - Px(1000));
    const int left = (background->width() - Px(10000)) / 2 + Px(400);
    QCOMPARE(f.Find("Frame3")->pos(), QPoint(left, Px(720)));
    f.Click("CommandEditData");
    QCOMPARE(f.window->CurrentPage(), PageId::List);
}

void PagesTest::MissingTemplateHidesTwoCommands() {
    WindowFixture f(0, false);
    for (const char* hidden : {"CommandSum", "CommandItem", "ImageSum", "Image4"})
        QVERIFY2(!f.Find(hidden)->isVisible(), hidden);
    QCOMPARE(f.Find("CommandEnd")->y(), Px(5280));
    QCOMPARE(f.Find("ImageEnd")->y(), Px(5280));
    int shown = 0;
    for (auto* b : f.Find("ClientArea")->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        shown += b->isVisible();
    QCOMPARE(shown, 8);
}

void PagesTest::PresentTemplateShowsAllTen() {
    WindowFixture f(0, true);  // an empty file is enough
    for (const char* name : {"CommandSum", "CommandItem", "ImageSum", "Image4"})
        QVERIFY2(f.Find(name)->isVisible(), name);
    QCOMPARE(f.Find("CommandEnd")->y(), Px(6480));
}

void PagesTest::AddingAProjectOpensTheCover() {
    WindowFixture f;
    f.Click("CommandEditData");
    f.prompter.texts = {"20139999999"};  // 11 characters
    f.Click("CommandAddItem");
    QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"项目编号格式错误。"});
    QCOMPARE(f.window->CurrentPage(), PageId::List);
    f.prompter.texts = {"201399999999"};
    f.Click("CommandAddItem");
    f.Settle();
    QCOMPARE(f.window->CurrentPage(), PageId::Cover);
    QCOMPARE(f.Focused(), QString("TextJB02"));
    QCOMPARE(f.Field("TextJB02")->text(), QString("201399999999"));
    QCOMPARE(f.records().Count(), 4);
    QCOMPARE(f.Find<QLabel>("NavigatorCaption")->text(), QString("4/4"));
}

void PagesTest::EndingEditingClosesTheList() {
    WindowFixture f;
    f.records().MoveLast();
    f.Click("CommandEditData");
    f.records().SetValue("JB03", "王五");
    f.Click("CommandExitDataEdit");
    f.Settle();
    QCOMPARE(f.window->CurrentPage(), PageId::Start);
    QCOMPARE(f.records().Position(), 1);
    QCOMPARE(Q(f.records().ReadRow(3)[store::ColumnIndex("JB03")]), QString("王五"));
}

void PagesTest::LocatingFromTheTitleStrip() {
    WindowFixture f;
    const std::string wanted(f.records().ReadRow(3)[store::ColumnIndex("JB02")]);
    auto* query = f.Find<QLineEdit>("TextQuery");
    query->setText(Q(wanted));
    QTest::keyClick(query, Qt::Key_Return);
    QCOMPARE(f.records().Position(), 3);
    query->setText("1");
    QTest::mouseClick(f.Find("CommandQuery"), Qt::LeftButton);
    QCOMPARE(f.records().Position(), 1);
    QCOMPARE(f.prompter.Texts(),
             std::vector<std::string>{"未找到要定位的项目！请检查项目编号是否正确。"});
}

void PagesTest::NavigatorCaption() {
    WindowFixture f;
    auto* caption = f.Find<QLabel>("NavigatorCaption");
    QCOMPARE(caption->text(), QString("0000/0000"));
    QTest::mouseClick(f.Find("NavigatorLast"), Qt::LeftButton);
    f.Settle();
    QCOMPARE(caption->text(), QString("3/3"));
    QTest::mouseClick(f.Find("NavigatorNext"), Qt::LeftButton);  // stays on the last
    QTest::mouseClick(f.Find("NavigatorPrevious"), Qt::LeftButton);
    f.Settle();
    QCOMPARE(caption->text(), QString("2/3"));
    QTest::mouseClick(f.Find("NavigatorFirst"), Qt::LeftButton);
    f.Settle();
    QCOMPARE(caption->text(), QString("1/3"));
}

void PagesTest::MenusAreGreyedButHelp() {
    WindowFixture f;
    for (const char* name : {"MenuData_Edit", "MenuDatatransmittal", "MenuDataCheck", "MenuReport"})
        QVERIFY2(!f.Find<QMenu>(name)->isEnabled(), name);
    QVERIFY(f.Find<QMenu>("MenuHelp")->isEnabled());
    QVERIFY(f.window->Action("MenuHelpView")->isEnabled());
    QVERIFY(!f.window->Action("MenuDataEdit")->isEnabled());
}

void PagesTest::NoTwoFieldsOverlapAndEveryCaptionShows() {
    WindowFixture f;
    for (PageId page : {PageId::Cover, PageId::TableOne, PageId::TableTwo, PageId::TableThree,
                        PageId::TableFour}) {
        f.Open(page);
        screen::FormPage* form = f.window->form_page(page);
        const auto& fields = form->fields();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            QVERIFY(fields[i]->isVisible());
            QVERIFY(form->rect().contains(fields[i]->geometry()));
            for (std::size_t j = i + 1; j < fields.size(); ++j)
                QVERIFY2(!fields[i]->geometry().intersects(fields[j]->geometry()),
                         qPrintable(fields[i]->objectName() + " / " + fields[j]->objectName()));
        }
        for (QWidget* w : fields) {
            // "TextJf1301" names column JF1301.
            const std::string column = w->objectName().mid(4).toUpper().toStdString();
            auto* caption = form->CaptionOf(column);
            QVERIFY2(caption, qPrintable(w->objectName()));
            QVERIFY(caption->isVisible());
            const QFontMetrics fm(caption->font());
            if (caption->wordWrap()) {
                QVERIFY2(caption->heightForWidth(caption->width()) <= caption->height(),
                         qPrintable(caption->text()));
            } else {
                QVERIFY2(fm.horizontalAdvance(caption->text()) <= caption->width(),
                         qPrintable(caption->text()));
            }
            QCOMPARE(caption->text().trimmed(),
                     Q(store::ColumnNamed(caption->objectName().mid(5).toStdString()).caption));
        }
    }
}

void PagesTest::PendingChangeIsWrittenWhenTheProgramEnds() {
    {
        WindowFixture f(2);
        f.records().MoveFirst();
        f.Open(PageId::Cover, "TextJB03");
        Type(f.Field("TextJB03"), "赵");
        const std::string typed(f.records().Value("JB03"));
        f.Click("CommandEnd");
        QVERIFY(!f.window->isVisible());
        const auto path = f.dir.path();
        f.window.reset();
        f.store.reset();
        const auto reopened = OpenTestStore(path);
        reopened->records().MoveFirst();
        QCOMPARE(std::string(reopened->records().Value("JB03")), typed);
    }
}

ZORBIX_SCREEN_TEST_MAIN(PagesTest)
#include "pages_test.moc"

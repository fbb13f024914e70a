// The code pickers: shown at their field, one at a time; picks write the
// item (the region only its code); shared pickers follow PickerRow; typing
// never changes a value; every record move hides them all.
#include "screen/pickers.h"

#include "store/code_lists.h"
#include "window_fixture.h"

using namespace zorbix;
using namespace zorbix::testing;
using screen::PageId;
using store::Picker;

class PickersTest : public QObject {
    Q_OBJECT
private slots:
    void EveryPickerHoldsItsListExactly();
    void PickerOpensAtItsFieldWithItsWidth();
    void OnlyOnePickerIsVisible();
    void RegionPickWritesTheSixDigitCode();
    void SharedPickerWritesTheRowLastFocused();
    void SharedGridPickerFollowsTheRow();
    void TrailingBlankIsKept();
    void LevelStaysEmptyWhenNotAppraised();
    void TypingNeverChangesAValue();
    void RecordMoveHidesEveryPicker();
    void FieldsWithoutPickerHideThem();
};

void PickersTest::EveryPickerHoldsItsListExactly() {
    WindowFixture f;
    for (Picker p : store::AllPickers()) {
        auto* box = f.window->pickers()->Box(p);
        QCOMPARE(box->objectName(), Q(store::PickerName(p)));
        const auto items = store::PickerItems(p);
        QCOMPARE(box->count(), static_cast<int>(items.size()));
        for (int i = 0; i < box->count(); ++i) QCOMPARE(box->itemText(i), Q(items[i]));
    }
    QCOMPARE(f.window->pickers()->Box(Picker::JB26)->count(), 81);
}

void PickersTest::PickerOpensAtItsFieldWithItsWidth() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB62");
    auto* box = f.window->pickers()->Box(Picker::JB62);
    QWidget* field = f.Find("TextJB62");
    QVERIFY(box->isVisible());
    QCOMPARE(box->geometry().topLeft(), field->geometry().topLeft());
    QCOMPARE(box->width(), field->width());
    QCOMPARE(f.Focused(), QString("TextJB62"));  // the field keeps the focus
}

void PickersTest::OnlyOnePickerIsVisible() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB61");
    f.Find("TextJB71")->setFocus();
    f.Settle();
    int visible = 0;
    for (Picker p : store::AllPickers()) visible += f.window->pickers()->Box(p)->isVisible();
    QCOMPARE(visible, 1);
    QVERIFY(f.window->pickers()->Box(Picker::JB71)->isVisible());
}

void PickersTest::RegionPickWritesTheSixDigitCode() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB22");
    f.window->pickers()->Pick(Picker::JB22, 2);
    f.Settle();
    const QString item = Q(store::PickerItems(Picker::JB22)[2]);
    QCOMPARE(Q(f.records().Value("JB22")), item.left(6));
    QCOMPARE(f.Field("TextJB22")->text(), item.left(6));
    QVERIFY(!f.window->pickers()->Box(Picker::JB22)->isVisible());
}

void PickersTest::SharedPickerWritesTheRowLastFocused() {
    WindowFixture f;
    f.records().MoveFirst();
    const QString jb25 = Q(f.records().Value("JB25"));
    const QString jb54 = Q(f.records().Value("JB54"));
    f.Open(PageId::TableOne, "TextJB52");
    QCOMPARE(f.window->pickers()->row(), 2);
    f.window->pickers()->Pick(Picker::JB25_JB52_JB54, 4);
    f.Settle();
    QCOMPARE(Q(f.records().Value("JB52")), QString("05.政府机关"));
    QCOMPARE(Q(f.records().Value("JB25")), jb25);
    QCOMPARE(Q(f.records().Value("JB54")), jb54);
    QCOMPARE(f.Focused(), QString("TextJB52"));
}

void PickersTest::SharedGridPickerFollowsTheRow() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB473");
    f.window->pickers()->Pick(Picker::Type, 0);
    f.Open(PageId::TableOne, "TextJB442");
    f.window->pickers()->Pick(Picker::EducationalBackground, 0);
    f.Settle();
    QCOMPARE(Q(f.records().Value("JB473")), QString("1.留学归国人员"));
    QCOMPARE(Q(f.records().Value("JB442")), QString("1.研究生"));
    // Birth year and telephone do not set the row.
    f.Open(PageId::TableOne, "TextJB431");
    QCOMPARE(f.window->pickers()->row(), 2);
}

void PickersTest::TrailingBlankIsKept() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB72_03");
    f.window->pickers()->Pick(Picker::JB72, 5);
    QCOMPARE(Q(f.records().Value("JB72_03")), QString("42.贷款不落实 "));
}

void PickersTest::LevelStaysEmptyWhenNotAppraised() {
    WindowFixture f;
    f.records().MoveFirst();
    f.records().SetValue("JB81", "2.否");
    f.records().SetValue("JB83", "");
    f.Open(PageId::TableOne, "TextJB83");
    f.window->pickers()->Pick(Picker::JB83, 1);
    QCOMPARE(Q(f.records().Value("JB83")), QString());
    f.records().SetValue("JB81", "1.是");
    f.Open(PageId::TableOne, "TextJB83");
    f.window->pickers()->Pick(Picker::JB83, 1);
    QCOMPARE(Q(f.records().Value("JB83")), QString("2.国际先进"));
}

void PickersTest::TypingNeverChangesAValue() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB61");
    const QString before = Q(f.records().Value("JB61"));
    auto* box = f.window->pickers()->Box(Picker::JB61);
    QCOMPARE(box->focusPolicy(), Qt::NoFocus);
    QTest::keyClicks(box, "2105");
    QTest::keyClick(box, Qt::Key_Down);
    f.Settle();
    QCOMPARE(Q(f.records().Value("JB61")), before);
    QCOMPARE(f.Field("TextJB61")->text(), before);
}

void PickersTest::RecordMoveHidesEveryPicker() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB26");
    QVERIFY(f.window->pickers()->Box(Picker::JB26)->isVisible());
    f.records().MoveNext();
    for (Picker p : store::AllPickers()) QVERIFY(!f.window->pickers()->Box(p)->isVisible());
}

void PickersTest::FieldsWithoutPickerHideThem() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB27");
    f.Find("TextJB23")->setFocus();  // hides
    f.Settle();
    QVERIFY(!f.window->pickers()->Box(Picker::JB27)->isVisible());
    f.Find("TextJB27")->setFocus();
    f.Find("TextJB63_1")->setFocus();  // leaves it open
    f.Settle();
    QVERIFY(f.window->pickers()->Box(Picker::JB27)->isVisible());
}

ZORBIX_SCREEN_TEST_MAIN(PickersTest)
#include "pickers_test.moc"

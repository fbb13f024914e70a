// Field behaviour in the window: key classes, Enter and arrows, caption
// highlight, length limits, the leave checks with their messages, TBSJ's
// date, the results text's quotes and line breaks, and record moves.
#include <QDate>
#include <QLabel>

#include "screen/captions.h"
#include "store/titles.h"
#include "window_fixture.h"

using namespace zorbix;
using namespace zorbix::testing;
using screen::PageId;

class FieldsTest : public QObject {
    Q_OBJECT
private slots:
    void DigitsFieldTakesOnlyDigits();
    void TextFieldTakesChineseUpToItsGbkLimit();
    void EnterMovesOnInTextAndDigitsFields();
    void EnterDoesNothingInFreeAndNoEnterFields();
    void ArrowKeysOnEachPage();
    void CaptionLightsUpWhileFocused();
    void ProjectNumberMustHaveTwelveCharacters();
    void EmailIsCheckedOnLeaving();
    void AppraisalDateIsCheckedOnLeaving();
    void NotAppraisedEmptiesTheLevel();
    void FillingDateTakesToday();
    void ResultsTextKeepsQuotesOutAndLineBreaksAsCrLf();
    void LongerStoredValueIsShownWhole();
    void RecordMoveRefreshesEveryField();
    void TitleStripFieldsFollowTheRecord();
};

void FieldsTest::DigitsFieldTakesOnlyDigits() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::Cover, "TextJB02");
    auto* jb02 = f.Field("TextJB02");
    jb02->clear();
    f.records().SetValue("JB02", "");
    Type(jb02, "12a-.3");
    QCOMPARE(jb02->text(), QString("123"));
    QCOMPARE(Q(f.records().Value("JB02")), QString("123"));
    QTest::keyClick(jb02, Qt::Key_Backspace);
    QCOMPARE(jb02->text(), QString("12"));
    Type(jb02, "3456789012345");
    QCOMPARE(jb02->text(), QString("123456789012"));  // 12 bytes
}

void FieldsTest::TextFieldTakesChineseUpToItsGbkLimit() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableOne, "TextJB421");
    auto* sex = f.Field("TextJB421");
    f.records().SetValue("JB421", "");
    f.Settle();
    Type(sex, "1.男女");
    QCOMPARE(sex->text(), QString("1.男"));
    QCOMPARE(Q(f.records().Value("JB421")), QString("1.男"));
}

void FieldsTest::EnterMovesOnInTextAndDigitsFields() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::Cover, "TextJB01");
    QTest::keyClick(f.Field("TextJB01"), Qt::Key_Return);
    QCOMPARE(f.Focused(), QString("TextJB02"));
    QTest::keyClick(f.Field("TextJB02"), Qt::Key_Enter);
    QCOMPARE(f.Focused(), QString("TextZGDW"));
    f.Open(PageId::TableTwo, "TextJF1602");
    QTest::keyClick(f.Field("TextJF1602"), Qt::Key_Return);
    QCOMPARE(f.Focused(), QString("TextJF2001"));
    f.Open(PageId::TableOne, "TextJB481");
    QTest::keyClick(f.Field("TextJB481"), Qt::Key_Return);
    QCOMPARE(f.Focused(), QString("TextJB412"));
}

void FieldsTest::EnterDoesNothingInFreeAndNoEnterFields() {
    WindowFixture f;
    f.records().MoveFirst();
    const std::pair<PageId, const char*> stays[] = {
        {PageId::TableTwo, "TextJF4102"},  {PageId::TableFour, "TextJG920"},
        {PageId::TableThree, "TextJL420"}, {PageId::Cover, "TextTBSJ"},
        {PageId::TableOne, "TextJB83"},
    };
    for (const auto& [page, name] : stays) {
        f.Open(page, name);
        const QString before = f.Field(name)->text();
        QTest::keyClick(f.Field(name), Qt::Key_Return);
        QCOMPARE(f.Focused(), QString(name));
        QCOMPARE(f.Field(name)->text(), before);
    }
}

void FieldsTest::ArrowKeysOnEachPage() {
    WindowFixture f;
    f.records().MoveFirst();
    struct Step {
        PageId page;
        const char* from;
        Qt::Key key;
        const char* to;
    };
    const Step steps[] = {
        {PageId::Cover, "TextJB03", Qt::Key_Down, "TextJB04"},
        {PageId::Cover, "TextJB03", Qt::Key_Up, "TextXMCDDW"},
        {PageId::Cover, "TextJB01", Qt::Key_Up, "TextJB01"},
        {PageId::TableOne, "TextJB422", Qt::Key_Down, "TextJB423"},
        {PageId::TableOne, "TextJB423", Qt::Key_Up, "TextJB422"},
        {PageId::TableOne, "TextJB483", Qt::Key_Down, "TextJB52"},
        {PageId::TableOne, "TextJB21", Qt::Key_Right, "TextJB22"},
        {PageId::TableTwo, "TextJF1002", Qt::Key_Right, "TextJF2001"},
        {PageId::TableTwo, "TextJF3001", Qt::Key_Down, "TextJF3111"},
        {PageId::TableTwo, "TextJf1301", Qt::Key_Up, "TextJF1201"},
        {PageId::TableThree, "TextJL110", Qt::Key_Up, "TextJL100"},
        {PageId::TableThree, "TextJL410", Qt::Key_Down, "TextJL420"},
        {PageId::TableFour, "TextJG170", Qt::Key_Down, "TextJGCSCD"},
        {PageId::TableFour, "TextJG920", Qt::Key_Down, "TextJDCG"},
        {PageId::TableFour, "TextJG131", Qt::Key_Up, "TextJG131"},
    };
    for (const Step& s : steps) {
        f.Open(s.page, s.from);
        QTest::keyClick(f.Find(s.from), s.key);
        QVERIFY2(f.Focused() == s.to, qPrintable(QString(s.from) + " -> " + f.Focused()));
    }
    // Without a target the caret moves and the focus stays.
    f.Open(PageId::Cover, "TextJB01");
    QTest::keyClick(f.Field("TextJB01"), Qt::Key_Left);
    QCOMPARE(f.Focused(), QString("TextJB01"));
}

void FieldsTest::CaptionLightsUpWhileFocused() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableTwo, "TextJF1002");
    auto* caption = f.Find<screen::CaptionLabel>("LabelJF1001");
    QVERIFY(caption->highlighted());
    QCOMPARE(caption->palette().color(QPalette::Window), QColor(255, 255, 128));
    f.Field("TextJF2001")->setFocus();
    f.Settle();
    QVERIFY(!caption->highlighted());
    QVERIFY(f.Find<screen::CaptionLabel>("LabelJF2001")->highlighted());
}

void FieldsTest::ProjectNumberMustHaveTwelveCharacters() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::Cover, "TextJB02");
    f.records().SetValue("JB02", "20130000001");
    f.Settle();
    QTest::keyClick(f.Field("TextJB02"), Qt::Key_Return);
    f.Settle();
    QCOMPARE(f.Focused(), QString("TextJB02"));
    QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"项目编号格式错误。"});
    QCOMPARE(f.prompter.messages[0].title, std::string(store::kProgramTitle));
    QVERIFY(f.Find<screen::CaptionLabel>("LabelJB02")->highlighted());
    Type(f.Field("TextJB02"), "9");
    QTest::keyClick(f.Field("TextJB02"), Qt::Key_Return);
    f.Settle();
    QCOMPARE(f.Focused(), QString("TextZGDW"));
    QCOMPARE(f.prompter.messages.size(), std::size_t(1));
    QVERIFY(!f.Find<screen::CaptionLabel>("LabelJB02")->highlighted());
}

void FieldsTest::EmailIsCheckedOnLeaving() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::Cover, "TextJB06");
    f.records().SetValue("JB06", "abc@");
    f.Settle();
    const QString date_before = f.Field("TextTBSJ")->text();
    QTest::keyClick(f.Field("TextJB06"), Qt::Key_Down);
    f.Settle();
    QCOMPARE(f.Focused(), QString("TextJB06"));
    QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"Email地址格式错误。"});
    // The field the focus was going to never took it.
    QCOMPARE(f.Field("TextTBSJ")->text(), date_before);
    f.records().SetValue("JB06", "a@b");
    QTest::keyClick(f.Field("TextJB06"), Qt::Key_Down);
    f.Settle();
    QCOMPARE(f.Focused(), QString("TextTBSJ"));
}

void FieldsTest::AppraisalDateIsCheckedOnLeaving() {
    WindowFixture f;
    f.records().MoveFirst();
    f.records().SetValue("JB81", "1.是");
    f.records().SetValue("JB63_1", "2010");
    f.Open(PageId::TableOne, "TextJB82");
    for (const char* bad : {"2009-10", "201001"}) {
        f.records().SetValue("JB82", bad);
        f.prompter.messages.clear();
        QTest::keyClick(f.Field("TextJB82"), Qt::Key_Return);
        f.Settle();
        QCOMPARE(f.Focused(), QString("TextJB82"));
        QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"鉴定日期格式或时间有误。"});
    }
    f.records().SetValue("JB82", "2010-01");
    QTest::keyClick(f.Field("TextJB82"), Qt::Key_Return);
    f.Settle();
    QCOMPARE(f.Focused(), QString("TextJB83"));
}

void FieldsTest::NotAppraisedEmptiesTheLevel() {
    WindowFixture f;
    f.records().MoveFirst();
    f.records().SetValue("JB81", "2.否");
    f.records().SetValue("JB83", "3.国内领先");
    f.records().SetValue("JB82", "");
    f.Open(PageId::TableOne, "TextJB82");
    QTest::keyClick(f.Field("TextJB82"), Qt::Key_Return);
    f.Settle();
    QCOMPARE(f.Focused(), QString("TextJB83"));
    QVERIFY(f.prompter.messages.empty());
    QCOMPARE(Q(f.records().Value("JB83")), QString());
    QCOMPARE(f.Field("TextJB83")->text(), QString());
    QVERIFY(!f.Find<screen::CaptionLabel>("LabelJB82")->highlighted());
}

void FieldsTest::FillingDateTakesToday() {
    WindowFixture f;
    f.records().MoveFirst();
    f.records().SetValue("TBSJ", "2001-01-01");
    f.Open(PageId::Cover, "TextTBSJ");
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    QCOMPARE(f.Field("TextTBSJ")->text(), today);
    QCOMPARE(Q(f.records().Value("TBSJ")), today);
}

void FieldsTest::ResultsTextKeepsQuotesOutAndLineBreaksAsCrLf() {
    WindowFixture f;
    f.records().MoveFirst();
    f.records().SetValue("JDCG", "甲\r\n乙");
    f.Open(PageId::TableFour, "TextJDCG");
    auto* results = f.Find<QPlainTextEdit>("TextJDCG");
    QCOMPARE(results->toPlainText(), QString("甲\n乙"));
    results->moveCursor(QTextCursor::End);
    Type(results, "\"");
    QTest::keyClick(results, Qt::Key_Return);
    Type(results, "丙");
    QCOMPARE(Q(f.records().Value("JDCG")), QString("甲\r\n乙'\r\n丙"));
    results->insertPlainText("\"粘贴\"");  // as a paste arrives
    f.Field("TextJG920")->setFocus();
    f.Settle();
    QCOMPARE(Q(f.records().Value("JDCG")), QString("甲\r\n乙'\r\n丙粘贴"));
}

void FieldsTest::LongerStoredValueIsShownWhole() {
    WindowFixture f;
    f.records().MoveFirst();
    const std::string longer(30, '7');  // JB24 takes 6
    f.records().SetValue("JB24", longer);
    f.records().WriteBack();
    f.Open(PageId::TableOne, "TextJB24");
    QCOMPARE(f.Field("TextJB24")->text().toStdString(), longer);
    QTest::keyClick(f.Field("TextJB24"), Qt::Key_Return);
    f.records().MoveNext();
    f.records().MovePrevious();
    f.Settle();
    QCOMPARE(std::string(f.records().Value("JB24")), longer);
}

void FieldsTest::RecordMoveRefreshesEveryField() {
    WindowFixture f;
    f.records().MoveFirst();
    f.Open(PageId::TableTwo);
    f.records().MoveNext();
    f.Settle();
    for (const auto& column : store::Columns()) {
        if (column.page == store::Page::None) continue;
        QWidget* w = f.window->binder()->FieldOf(column.name);
        QVERIFY(w);
        if (auto* field = qobject_cast<screen::FieldEdit*>(w))
            QCOMPARE(field->text(), Q(f.records().Value(column.index)));
    }
}

void FieldsTest::TitleStripFieldsFollowTheRecord() {
    WindowFixture f;
    f.records().MoveLast();
    f.Settle();
    QCOMPARE(f.Field("TextItemNo")->text(), Q(f.records().Value("JB02")));
    QCOMPARE(f.Field("TextItemName")->text(), Q(f.records().Value("JB01")));
    QCOMPARE(f.Find<QLabel>("NavigatorCaption")->text(), QString("3/3"));
    f.Open(PageId::Cover, "TextJB01");
    Type(f.Field("TextJB01"), "新");
    QCOMPARE(f.Field("TextItemName")->text(), f.Field("TextJB01")->text());
}

ZORBIX_SCREEN_TEST_MAIN(FieldsTest)
#include "fields_test.moc"

// The field rules without a window: arrow-key targets of every page, the
// three leave checks, the length-limit validator and the file filters.
#include <QApplication>
#include <QTest>

#include "check/field_problems.h"
#include "forms/arrow_targets.h"
#include "screen/field_edit.h"
#include "screen/qt_prompter.h"
#include "screen/screenshots.h"
#include "screen/text_limit_validator.h"
#include "store/catalogue.h"

using namespace zorbix::screen;
using zorbix::forms::Arrow;
using zorbix::forms::ArrowTarget;

class FieldRulesTest : public QObject {
    Q_OBJECT
private slots:
    void ArrowTargets_data();
    void ArrowTargets();
    void EveryPageFieldMovesOnlyToFieldsOfItsPage();
    void ProjectNumber();
    void Email_data();
    void Email();
    void AppraisalDate_data();
    void AppraisalDate();
    void ValidatorCutsAtGbkBytes();
    void ValidatorKeepsDigitsOnly();
    void ValidatorNeverCutsALongerStoredValue();
    void ValidatorKeepsOnlyWhatTheOutputsCarry();
    void ResultsTextMendsWhatThePasteBrought();
    void FileFilter();
};

void FieldRulesTest::ArrowTargets_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("arrow");
    QTest::addColumn<QString>("target");
    const int up = int(Arrow::Up), down = int(Arrow::Down), left = int(Arrow::Left),
              right = int(Arrow::Right);
    struct Row {
        const char* field;
        int arrow;
        const char* target;
    };
    const Row rows[] = {
        {"JB01", up, "JB01"},
        {"JB01", down, "JB02"},
        {"JB06", down, "TBSJ"},
        {"TBSJ", up, "JB06"},
        {"TBSJ", down, ""},
        {"JB02", left, ""},
        {"JB21", right, "JB22"},
        {"JB22", down, "JB24"},
        {"JB27", down, "JB411"},
        {"JB411", up, "JB27"},
        {"JB412", down, "JB413"},
        {"JB483", up, "JB482"},
        {"JB413", down, "JB51"},
        {"JB483", down, "JB52"},
        {"JB411", left, ""},
        {"JB481", right, ""},
        {"JB442", right, "JB452"},
        {"JB52", up, "JB483"},
        {"JB72_02", right, "JB72_03"},
        {"JB72_03", down, "JB82"},
        {"JB83", down, ""},
        {"JB82", up, "JB72_01"},
        {"JF1001", up, ""},
        {"JF1001", down, "JF1701"},
        {"JF1002", right, "JF2001"},
        {"JF2001", left, "JF1002"},
        {"JF4102", right, ""},
        {"JF1602", down, ""},
        {"JF4101", up, "JF4001"},
        {"JL100", up, ""},
        {"JL100", down, "JL110"},
        {"JL420", down, ""},
        {"JL420", up, "JL410"},
        {"JG131", up, "JG131"},
        {"JG170", down, "JGCSCD"},
        {"JG920", down, "JDCG"},
        {"JDCG", up, ""},
    };
    for (const Row& r : rows)
        QTest::addRow("%s-%d", r.field, r.arrow) << r.field << r.arrow << r.target;
}

void FieldRulesTest::ArrowTargets() {
    QFETCH(QString, field);
    QFETCH(int, arrow);
    QFETCH(QString, target);
    QCOMPARE(QString::fromStdString(ArrowTarget(field.toStdString(), Arrow(arrow))), target);
}

void FieldRulesTest::EveryPageFieldMovesOnlyToFieldsOfItsPage() {
    for (const auto& column : zorbix::store::Columns()) {
        if (column.page == zorbix::store::Page::None) continue;
        for (Arrow a : {Arrow::Up, Arrow::Down, Arrow::Left, Arrow::Right}) {
            const std::string target = ArrowTarget(column.name, a);
            if (target.empty()) continue;
            QVERIFY2(zorbix::store::ColumnNamed(target).page == column.page, column.name.c_str());
        }
    }
}

void FieldRulesTest::ProjectNumber() {
    QVERIFY(zorbix::check::ProjectNumberProblem("201300000001") == std::nullopt);
    QCOMPARE(zorbix::check::ProjectNumberProblem("20130000001").value(),
             std::string("项目编号格式错误。"));
    QVERIFY(zorbix::check::ProjectNumberProblem("").has_value());
}

void FieldRulesTest::Email_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");
    QTest::newRow("ordinary") << "a@b" << true;
    QTest::newRow("chinese") << "张@邮箱" << true;
    QTest::newRow("leading only") << "@ab" << false;
    QTest::newRow("trailing only") << "ab@" << false;
    QTest::newRow("leading and inner") << "@a@b" << true;
    QTest::newRow("none") << "abc" << false;
    QTest::newRow("empty") << "" << false;
}

void FieldRulesTest::Email() {
    QFETCH(QString, text);
    QFETCH(bool, passes);
    const auto problem = zorbix::check::EmailProblem(text.toStdString());
    QCOMPARE(!problem.has_value(), passes);
    if (problem) QCOMPARE(*problem, std::string("Email地址格式错误。"));
}

void FieldRulesTest::AppraisalDate_data() {
    QTest::addColumn<QString>("jb81");
    QTest::addColumn<QString>("jb82");
    QTest::addColumn<bool>("passes");
    QTest::newRow("before the start") << "1.是"
                                      << "2009-10" << false;
    QTest::newRow("start year") << "1.是"
                                << "2010-01" << true;
    QTest::newRow("no dash") << "1.是"
                             << "201001" << false;
    QTest::newRow("empty, not chosen") << ""
                                       << "" << false;
    QTest::newRow("not appraised") << "2.否"
                                   << "" << true;
}

void FieldRulesTest::AppraisalDate() {
    QFETCH(QString, jb81);
    QFETCH(QString, jb82);
    QFETCH(bool, passes);
    const auto problem =
        zorbix::check::AppraisalDateProblem(jb81.toStdString(), jb82.toStdString(), "2010");
    QCOMPARE(!problem.has_value(), passes);
    if (problem) QCOMPARE(*problem, std::string("鉴定日期格式或时间有误。"));
}

void FieldRulesTest::ValidatorCutsAtGbkBytes() {
    TextLimitValidator v(4, false, nullptr);
    QString text = "1.男女";
    int pos = static_cast<int>(text.size());
    QCOMPARE(v.validate(text, pos), QValidator::Acceptable);
    QCOMPARE(text, QString("1.男"));
    QCOMPARE(pos, 3);
    TextLimitValidator fourteen(14, false, nullptr);
    QString longest = "1.留学归国人员";
    QCOMPARE(fourteen.validate(longest, pos), QValidator::Acceptable);
    QCOMPARE(longest, QString("1.留学归国人员"));
}

void FieldRulesTest::ValidatorKeepsDigitsOnly() {
    TextLimitValidator v(7, true, nullptr);
    v.SetAccepted("12");
    QString text = "12a-.3";
    int pos = 6;
    v.validate(text, pos);
    QCOMPARE(text, QString("123"));
    QCOMPARE(pos, 3);
}

void FieldRulesTest::ValidatorNeverCutsALongerStoredValue() {
    TextLimitValidator v(4, false, nullptr);
    v.SetAccepted("123456");
    QString same = "123456";
    int pos = 0;
    v.validate(same, pos);
    QCOMPARE(same, QString("123456"));
    QString grown = "1234567";  // typing more into it is refused
    pos = 7;
    v.validate(grown, pos);
    QCOMPARE(grown, QString("123456"));
    QString shorter = "12345";  // deleting works
    pos = 5;
    v.validate(shorter, pos);
    QCOMPARE(shorter, QString("12345"));
}

void FieldRulesTest::ValidatorKeepsOnlyWhatTheOutputsCarry() {
    TextLimitValidator v(0, false, nullptr);
    QString pasted = QString::fromUtf8("材\t料\xf0\x9f\x98\x80研\x01究\xe2\x82\xac");
    int pos = static_cast<int>(pasted.size());
    QCOMPARE(v.validate(pasted, pos), QValidator::Acceptable);
    QCOMPARE(pasted, QString::fromUtf8("材料研究\xe2\x82\xac"));
    QCOMPARE(pos, 5);
}

void FieldRulesTest::ResultsTextMendsWhatThePasteBrought() {
    ResultsEdit edit(zorbix::store::ColumnNamed("JDCG"), nullptr);
    edit.setPlainText(QString::fromUtf8("第一行\t甲\n第二行\xf0\x9f\x98\x80"));
    QCOMPARE(edit.StoredValue(), QString::fromUtf8("第一行 甲\r\n第二行?"));
}

void FieldRulesTest::FileFilter() {
    QCOMPARE(QtFileFilter("kj|*.kj"), QString("kj (*.kj)"));
    QCOMPARE(QtFileFilter("Txt|*.Txt|全部|*.*"), QString("Txt (*.Txt);;全部 (*.*)"));
}

QTEST_MAIN(FieldRulesTest)
#include "field_rules_test.moc"

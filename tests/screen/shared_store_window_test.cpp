// The window on a store several clerks share (PostgreSQL): a write over
// another person's change is refused with the stored values shown and the
// clerk's typing kept beside its fields, and what others add shows while
// the window waits. Skipped on an SQLite file, which has one writer.
#include <QLabel>
#include <algorithm>

#include "screen/title_strip.h"
#include "store/catalogue.h"
#include "window_fixture.h"

using namespace zorbix;
using namespace zorbix::testing;
using screen::PageId;

class SharedStoreWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void RefusedTypingStaysBesideItsFields();
    void AdditionsByOthersShowWhileTheWindowWaits();
};

void SharedStoreWindowTest::init() {
    if (!OnPostgres()) QSKIP("one copy of the program holds an SQLite file");
}

void SharedStoreWindowTest::RefusedTypingStaysBesideItsFields() {
    WindowFixture f(3);
    f.records().MoveFirst();
    f.Open(PageId::Cover, "TextJB03");
    auto* field = f.Field("TextJB03");
    field->selectAll();
    Type(field, "张甲");
    {
        const auto other = OpenTestStore(f.dir.path());
        other->records().MoveFirst();
        other->records().SetValue("JB03", "李乙");
        other->records().WriteBack();
    }
    QTest::mouseClick(f.Find("NavigatorNext"), Qt::LeftButton);
    f.Settle();
    const auto texts = f.prompter.Texts();
    QVERIFY(std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
        return t.find("您的修改没有保存") != std::string::npos &&
               t.find("张甲") != std::string::npos;
    }));
    QCOMPARE(f.records().Position(), 1);
    QCOMPARE(field->text(), QString("李乙"));
    QVERIFY(field->toolTip().contains("张甲"));
    QVERIFY(f.Field("TextJB01")->toolTip().isEmpty());  // a field nobody changed

    QTest::mouseClick(f.Find("NavigatorNext"),
                      Qt::LeftButton);  // nothing pending now: the move goes through
    f.Settle();
    QCOMPARE(f.records().Position(), 2);
    QVERIFY(field->toolTip().isEmpty());
}

void SharedStoreWindowTest::AdditionsByOthersShowWhileTheWindowWaits() {
    WindowFixture f(3);
    f.records().MoveFirst();
    f.Settle();
    QCOMPARE(f.window->title_strip()->position()->text(), QString("1/3"));
    {
        const auto other = OpenTestStore(f.dir.path());
        store::Row row(store::kColumnCount);
        row[store::kNumberColumn] = "201399999999";
        other->records().AddNew(row);
    }
    QTRY_COMPARE_WITH_TIMEOUT(f.window->title_strip()->position()->text(), QString("1/4"), 8000);
    QCOMPARE(f.records().Count(), 4);
}

ZORBIX_SCREEN_TEST_MAIN(SharedStoreWindowTest)
#include "shared_store_window_test.moc"

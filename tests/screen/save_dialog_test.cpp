// The window's save dialogs refuse the program's own files with the message
// the operations give, and open again until another name is chosen.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "screen/qt_prompter.h"
#include "store/store.h"
#include "tests/support/temp_dir.h"

using namespace zorbix;

class SaveDialogTest : public QObject {
    Q_OBJECT
private slots:
    void TheDatabaseIsRefusedAndTheDialogOpensAgain();
};

void SaveDialogTest::TheDatabaseIsRefusedAndTheDialogOpensAgain() {
    testing::TempDir dir;
    store::Store store(dir.path());
    screen::QtPrompter prompter;
    const auto database = QString::fromStdString(store.file().string());
    const auto other = QString::fromStdString((dir / "result.txt").string());
    int dialogs = 0;
    QStringList refusals;
    // Answers each modal window as it comes: the first dialog gets the
    // database's name (its overwrite question yes), the second another name.
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (!name || dialog->property("answered").toBool()) return;
            dialog->setProperty("answered", true);
            name->setText(++dialogs == 1 ? database : other);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (box->text().contains(u"本程序的")) refusals << box->text();
            if (auto* yes = box->button(QMessageBox::Yes))
                yes->click();
            else
                box->accept();
        }
    });
    answer.start(20);
    const auto chosen = prompter.ChooseSaveFile({"保存结果", "txt|*.txt", dir.path()});
    answer.stop();
    QCOMPARE(dialogs, 2);
    QCOMPARE(refusals.size(), 1);
    QVERIFY(refusals[0].contains(database + QString::fromUtf8("”是本程序的数据库文件")));
    QVERIFY(chosen.has_value());
    QCOMPARE(QString::fromStdString(chosen->string()), other);
}

QTEST_MAIN(SaveDialogTest)
#include "save_dialog_test.moc"

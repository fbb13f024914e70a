// A main window over a fresh store in a temporary program directory (on
// PostgreSQL when the tests run there), with a recording prompter, shown
// and active so the focus moves as for a user.
#pragma once

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "screen/field_binder.h"
#include "screen/field_edit.h"
#include "screen/main_window.h"
#include "screen/screenshots.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {

class WindowFixture {
public:
    explicit WindowFixture(int projects = 3, bool with_template = false) {
        if (with_template) std::ofstream(dir / "人才培养情况.xlsx") << "";
        store = OpenTestStore(dir.path());
        if (projects > 0) store::AddDemoProjects(store->records(), projects, 7);
        store->records().Reopen();  // as the program finds the store at start
        window = std::make_unique<screen::MainWindow>(*store, prompter);
        window->show();
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    }
    ~WindowFixture() {
        window.reset();
        store.reset();
    }

    store::RecordSet& records() { return store->records(); }

    // A name that matches no control of that type fails the test here, not
    // as a click on nothing or a crash further on.
    template <typename T = QWidget>
    T* Find(const char* name) const {
        T* found = window->findChild<T*>(name);
        if (!found) throw std::logic_error(std::string("no control named ") + name);
        return found;
    }
    void Click(const char* name) const {
        QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton);
    }
    screen::FieldEdit* Field(const char* name) const { return Find<screen::FieldEdit>(name); }

    // Lets deferred work (field refresh, messages, model resets) run.
    static void Settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

    // Opens a page with the current record shown, and focuses a field.
    void Open(screen::PageId page, const char* focus = nullptr) {
        window->ShowPage(page);
        Settle();
        if (focus) {
            Find(focus)->setFocus(Qt::OtherFocusReason);
            Settle();
        }
    }

    QString Focused() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    TempDir dir;
    RecordingPrompter prompter;
    std::unique_ptr<store::Store> store;
    std::unique_ptr<screen::MainWindow> window;
};

inline QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// Types text the way a keyboard or input method delivers it, Chinese too.
inline void Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace zorbix::testing

// Every screen test runs with the program's font and style.
#define ZORBIX_SCREEN_TEST_MAIN(TestClass)       \
    int main(int argc, char** argv) {            \
        QApplication app(argc, argv);            \
        zorbix::screen::PrepareApplication(app); \
        TestClass test;                          \
        return QTest::qExec(&test, argc, argv);  \
    }

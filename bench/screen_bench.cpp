// The window over a full store (32767 projects): opening it, moving to the
// next record with every field refreshed, and scrolling the grid from top
// to bottom without a widget per cell. Runs offscreen.
#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <filesystem>
#include <random>

#include "bench/bench_support.h"
#include "bench/demo_store.h"
#include "bench/quiet_prompter.h"
#include "screen/field_binder.h"
#include "screen/list_page.h"
#include "screen/main_window.h"
#include "screen/page_id.h"
#include "screen/project_table_model.h"
#include "screen/screenshots.h"
#include "screen/title_strip.h"
#include "store/demo_projects.h"
#include "store/store.h"

namespace {

using namespace zorbix;

std::filesystem::path FullStore() { return bench::DemoStoreDirectory("screen-bench", 32767, 11); }

bool MeasureMoves(screen::MainWindow& window) {
    auto& records = window.records();
    window.ShowPage(screen::PageId::TableOne);
    records.MoveFirst();
    window.binder()->RefreshAll();
    constexpr int kMoves = 200;
    bench::Stopwatch watch;
    for (int i = 0; i < kMoves; ++i) {
        records.MoveNext();
        window.binder()->RefreshAll();  // all 133 page fields and the title strip
    }
    return bench::Report("next record, every field refreshed (per move)",
                         watch.Milliseconds() / kMoves, 5, "ms");
}

// The navigator after the first move over the full store.
bool NavigatorAfterFirstMove(screen::MainWindow& window) {
    window.records().MoveFirst();
    QApplication::processEvents();
    const QString caption = window.title_strip()->position()->text();
    const bool ok = caption == "1/32767";
    std::printf("%-58s %10s %s\n", "navigator after the first move", caption.toUtf8().constData(),
                ok ? "ok" : "MISSED (expected 1/32767)");
    return ok;
}

// The check result panel taking a text of 100 000 finding lines: the window
// is blocked only while the text is set and first painted.
bool MeasurePanel(screen::MainWindow& window) {
    window.ShowPage(screen::PageId::List);
    QApplication::processEvents();
    QString text;
    for (int i = 0; i < 100000; ++i)
        text += QString(
                    "项目2013%1 表二 JF100 = "
                    "JF170+JF110+JF120+JF130+JF140+JF150+JF160，累计数有误！\r\n")
                    .arg(i, 8, 10, QChar('0'));
    bench::Stopwatch watch;
    window.SetPanelText(text);
    window.repaint();
    QApplication::processEvents();
    return bench::Report("panel shows 100 000 finding lines", watch.Milliseconds(), 1000, "ms");
}

bool MeasureGrid(screen::MainWindow& window) {
    window.ShowPage(screen::PageId::List);
    QApplication::processEvents();
    auto* grid = window.findChild<QTableView*>("DataGridzorbix");
    const auto widgets = grid->findChildren<QWidget*>().size();
    bench::Stopwatch watch;
    QScrollBar* bar = grid->verticalScrollBar();
    for (int step = 0; step <= 100; ++step) {
        bar->setValue(bar->maximum() * step / 100);
        grid->viewport()->repaint();
    }
    const bool same = grid->findChildren<QWidget*>().size() == widgets;
    std::printf("%-58s %10ld rows read, widgets %s\n", "grid scrolled top to bottom (101 views)",
                window.list_page()->model()->rows_read(), same ? "unchanged: ok" : "GREW: MISSED");
    return bench::Report("grid scrolled top to bottom", watch.Milliseconds(), 2000, "ms") && same;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    screen::PrepareApplication(app);
    const auto dir = FullStore();
    bool ok = true;
    {
        bench::QuietPrompter prompter;
        bench::Stopwatch open;
        store::Store store(dir);
        screen::MainWindow window(store, prompter);
        window.show();
        QApplication::processEvents();
        ok &= bench::Report("window opened on 32767 projects", open.Milliseconds(), 1000, "ms");
        ok &= NavigatorAfterFirstMove(window);
        ok &= MeasureMoves(window);
        ok &= MeasureGrid(window);
        ok &= MeasurePanel(window);
    }
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}

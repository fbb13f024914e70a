// The finding work list and the list page on a full store (32767 projects)
// with 100 000 finding lines in the panel: jumping from a line to its field,
// F8, filtering the grid key by key and sorting it by name. Runs offscreen.
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>

#include "bench/bench_support.h"
#include "bench/demo_store.h"
#include "bench/quiet_prompter.h"
#include "screen/finding_navigator.h"
#include "screen/list_page.h"
#include "screen/main_window.h"
#include "screen/page_id.h"
#include "screen/project_table_model.h"
#include "screen/screenshots.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"

namespace {

using namespace zorbix;

constexpr int kProjects = 32767;
constexpr int kLines = 100000;

std::filesystem::path FullStore() {
    return bench::DemoStoreDirectory("findings-bench", kProjects, 13);
}

// Three findings of different pages for most projects, in store order.
QString FindingLines(store::RecordSet& records) {
    const char* messages[] = {" 表一 JH24邮政编码填写有误！",
                              " 表二 JF400 = JF100-JF200，累计数有误！",
                              " 表四 JG702 >= JG710，有误！", " 封面 JH01项目名称填写有误！"};
    const auto numbers = records.ColumnValues(store::kNumberColumn);
    QString text = " 审核结果\r\n";
    for (int i = 0; i < kLines; ++i)
        text += "项目" + QString::fromStdString(numbers[(i / 3) % numbers.size()]) +
                messages[i % 4] + "\r\n";
    return text;
}

template <typename Step>
std::pair<double, double> AverageAndWorst(int times, Step step) {
    double total = 0, worst = 0;
    for (int i = 0; i < times; ++i) {
        bench::Stopwatch watch;
        step(i);
        QApplication::processEvents();
        const double ms = watch.Milliseconds();
        total += ms;
        worst = std::max(worst, ms);
    }
    return {total / times, worst};
}

bool MeasureJumps(screen::MainWindow& window) {
    std::mt19937 random(5);
    auto* navigator = window.findings();
    navigator->JumpTo(1);  // the line index and number map are made once
    QApplication::processEvents();
    const auto [average, worst] = AverageAndWorst(
        200, [&](int) { navigator->JumpTo(1 + static_cast<int>(random() % kLines)); });
    std::printf("%-58s %10.1f ms average\n", "finding line to its field", average);
    return bench::Report("finding line to its field (worst of 200)", worst, 50, "ms");
}

bool MeasureF8(screen::MainWindow& window) {
    auto* navigator = window.findings();
    navigator->JumpTo(kLines / 2);
    const auto [average, worst] = AverageAndWorst(200, [&](int) { navigator->Next(); });
    std::printf("%-58s %10.1f ms average\n", "F8 to the next finding", average);
    return bench::Report("F8 to the next finding (worst of 200)", worst, 50, "ms");
}

bool MeasureFilter(screen::MainWindow& window) {
    window.ShowPage(screen::PageId::List);
    QApplication::processEvents();
    QLineEdit* filter = window.list_page()->filter();
    const QString typed = "2013新型";
    filter->clear();
    filter->setFocus();  // as the clerk clicks into it or presses Ctrl+F
    QApplication::processEvents();
    const auto [average, worst] = AverageAndWorst(typed.size() * 2, [&](int i) {
        if (i < typed.size())
            filter->insert(typed.mid(i, 1));
        else
            filter->backspace();
        window.list_page()->grid()->viewport()->repaint();
    });
    std::printf("%-58s %10.1f ms average\n", "grid filtered per keystroke", average);
    return bench::Report("grid filtered per keystroke (worst)", worst, 30, "ms");
}

bool MeasureSort(screen::MainWindow& window) {
    window.ShowPage(screen::PageId::List);
    QApplication::processEvents();
    QTableView* grid = window.list_page()->grid();
    bench::Stopwatch watch;
    grid->sortByColumn(2, Qt::AscendingOrder);
    grid->viewport()->repaint();
    QApplication::processEvents();
    const bool ok = bench::Report("grid sorted by name", watch.Milliseconds(), 150, "ms");
    window.list_page()->model()->RestoreStoreOrder();
    return ok;
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
        store::Store store(dir);
        screen::MainWindow window(store, prompter);
        window.show();
        QApplication::processEvents();
        window.SetPanelText(FindingLines(window.records()));
        QApplication::processEvents();
        ok &= MeasureJumps(window);
        ok &= MeasureF8(window);
        ok &= MeasureFilter(window);
        ok &= MeasureSort(window);
    }
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}

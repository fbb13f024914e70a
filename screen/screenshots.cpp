#include "screen/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>

#include "check/check_result.h"
#include "check/check_runs.h"
#include "check/rule_sets.h"
#include "screen/dialog_screenshots.h"
#include "screen/field_binder.h"
#include "screen/finding_navigator.h"
#include "screen/list_page.h"
#include "screen/main_window.h"
#include "screen/qt_chinese.h"

namespace zorbix::screen {

void PrepareApplication(QApplication& app) {
    app.setStyle(QStyleFactory::create("Fusion"));
    QFont font("Noto Sans CJK SC");
    font.setFamilies({"Noto Sans CJK SC", "WenQuanYi Micro Hei"});
    font.setPixelSize(12);  // 9 point at 96 DPI
    app.setFont(font);
    InstallQtChinese(app);
}

namespace {

// The panel after a check of every project, with the first finding gone to,
// and the list page filtered by the first project's unit.
bool SaveWorkListShots(MainWindow& window, const QString& directory) {
    store::RecordSet& records = window.records();
    std::string panel = std::string(check::kAllProjectsHeading) + std::string(check::kLineEnd);
    check::CheckResult result;
    for (int p = 1; p <= records.Count(); ++p) check::CheckAllTables(records.ReadRow(p), result);
    window.ShowCheckResult(panel + result.text, std::move(result.findings));
    window.AfterCheck(true);
    window.findings()->Next();
    window.ShowPage(PageId::List);
    QApplication::processEvents();
    bool saved = window.grab().save(directory + "/findings.png");
    if (records.Count() > 0) {
        const std::string unit(records.ReadRow(1)[store::ColumnIndex("XMCDDW")]);
        window.list_page()->filter()->setText(QString::fromStdString(unit).left(4));
    }
    QApplication::processEvents();
    saved &= window.grab().save(directory + "/filtered.png");
    window.list_page()->filter()->clear();
    return saved;
}

}  // namespace

bool SaveScreenshots(MainWindow& window, const QString& directory) {
    QDir().mkpath(directory);
    if (window.records().Count() > 0) window.records().MoveFirst();
    const std::pair<PageId, const char*> shots[] = {
        {PageId::Start, "start"},      {PageId::List, "list"},       {PageId::Cover, "cover"},
        {PageId::TableOne, "table1"},  {PageId::TableTwo, "table2"}, {PageId::TableThree, "table3"},
        {PageId::TableFour, "table4"},
    };
    bool all_saved = true;
    for (const auto& [page, name] : shots) {
        window.ShowPage(page);
        window.binder()->RefreshAll();
        QApplication::processEvents();
        all_saved &= window.grab().save(directory + "/" + name + ".png");
    }
    all_saved &= SaveWorkListShots(window, directory);
    all_saved &= SaveDialogScreenshots(window, directory);
    window.ShowPage(PageId::Start);
    return all_saved;
}

}  // namespace zorbix::screen

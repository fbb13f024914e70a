#include "screen/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>

#include "screen/field_binder.h"
#include "screen/main_window.h"

namespace zorbix::screen {

void PrepareApplication(QApplication& app) {
    app.setStyle(QStyleFactory::create("Fusion"));
    QFont font("Noto Sans CJK SC");
    font.setFamilies({"Noto Sans CJK SC", "WenQuanYi Micro Hei"});
    font.setPixelSize(12);  // 9 point at 96 DPI
    app.setFont(font);
}

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
    window.ShowPage(PageId::Start);
    return all_saved;
}

}  // namespace zorbix::screen

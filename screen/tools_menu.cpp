#include "screen/tools_menu.h"

#include <QMenuBar>

#include "screen/main_window.h"

namespace zorbix::screen {

QMenu* ToolsMenu(MainWindow& window) {
    if (auto* menu = window.findChild<QMenu*>("MenuTools")) return menu;
    auto* menu = new QMenu(QString::fromUtf8("工具(&G)"), &window);
    menu->setObjectName("MenuTools");
    menu->menuAction()->setObjectName("MenuToolsAction");
    QAction* help = nullptr;
    if (auto* help_menu = window.findChild<QMenu*>("MenuHelp")) help = help_menu->menuAction();
    window.menuBar()->insertMenu(help, menu);
    return menu;
}

}  // namespace zorbix::screen

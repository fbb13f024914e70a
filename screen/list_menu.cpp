#include "screen/list_menu.h"

#include <QMenuBar>
#include <exception>

#include "lists/project_list_export.h"
#include "lists/project_list_import.h"
#include "screen/main_window.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

// The menu "工具(&T)", placed before "帮助(&H)".
QMenu* ToolsMenu(MainWindow& window) {
    if (auto* menu = window.findChild<QMenu*>("MenuTools")) return menu;
    auto* menu = new QMenu(QString::fromUtf8("工具(&T)"), &window);
    menu->setObjectName("MenuTools");
    menu->menuAction()->setObjectName("MenuToolsAction");
    QAction* help = nullptr;
    if (auto* help_menu = window.findChild<QMenu*>("MenuHelp")) help = help_menu->menuAction();
    window.menuBar()->insertMenu(help, menu);
    return menu;
}

// Nothing escapes the event handler: what the operation did not tell
// becomes a message here.
template <typename Operation>
void Guarded(WindowContext& context, Operation operation) {
    try {
        operation();
    } catch (const std::exception& e) {
        base::Inform(context.prompter, store::kProgramTitle,
                     std::string("操作失败：") + e.what() + "\n" + std::string(store::kRetryHint));
    }
}

void Import(MainWindow& window, WindowContext& context) {
    const auto result =
        lists::ImportProjectList(context.records, context.prompter, context.directory);
    if (!result.outcome.IsDone()) return;
    window.SetPanelText(QString::fromStdString(result.panel));
    window.AfterCheck(false);
}

}  // namespace

void WireListOperations(MainWindow& window, WindowContext& context) {
    QMenu* menu = ToolsMenu(window);
    menu->addSeparator();
    QAction* export_list = menu->addAction(QString::fromUtf8("导出项目表(&E)…"));
    export_list->setObjectName("MenuExportList");
    QObject::connect(export_list, &QAction::triggered, &window, [&context] {
        Guarded(context, [&] {
            lists::ExportProjectList(context.records, context.prompter, context.directory);
        });
    });
    QAction* import_list = menu->addAction(QString::fromUtf8("导入项目表(&I)…"));
    import_list->setObjectName("MenuImportList");
    QObject::connect(import_list, &QAction::triggered, &window,
                     [&window, &context] { Guarded(context, [&] { Import(window, context); }); });
}

}  // namespace zorbix::screen

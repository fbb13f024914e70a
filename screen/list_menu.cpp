#include "screen/list_menu.h"

#include <QMenuBar>
#include <exception>

#include "lists/project_list_export.h"
#include "lists/project_list_import.h"
#include "screen/main_window.h"
#include "screen/tools_menu.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

void Import(MainWindow& window, WindowContext& context) {
    auto result = lists::ImportProjectList(context.records, context.prompter, context.directory);
    if (!result.outcome.IsDone()) return;
    window.ShowCheckResult(result.panel, std::move(result.findings));
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

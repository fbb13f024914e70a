#include "screen/safety_menu.h"

#include <QMenuBar>

#include "exchange/exchange_messages.h"
#include "screen/main_window.h"
#include "screen/safety_dialogs.h"
#include "screen/tools_menu.h"
#include "store/catalogue.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

void ShowHistory(MainWindow& window, WindowContext& context) {
    if (!context.records.HasCurrent()) {
        base::Inform(context.prompter, store::kProgramTitle, exchange::kNoCurrentProject);
        return;
    }
    HistoryDialog dialog(context.records, std::string(context.records.Value(store::kNumberColumn)),
                         &window);
    dialog.exec();
}

}  // namespace

void WireSafetyOperations(MainWindow& window, WindowContext& context) {
    QMenu* menu = ToolsMenu(window);
    QAction* backups = menu->addAction(QString::fromUtf8("备份与恢复(&B)"));
    backups->setObjectName("MenuBackups");
    QObject::connect(backups, &QAction::triggered, &window, [&window, &context] {
        BackupDialog dialog(context.records, context.prompter, &window);
        dialog.exec();
    });
    QAction* history = menu->addAction(QString::fromUtf8("修改记录(&L)"));
    history->setObjectName("MenuHistory");
    QObject::connect(history, &QAction::triggered, &window,
                     [&window, &context] { ShowHistory(window, context); });
}

void ReviewResentProjects(MainWindow& window, WindowContext& context,
                          std::vector<exchange::ResentProject> differing) {
    if (differing.empty()) return;
    auto* dialog =
        new ReviewDialog(context.records, context.prompter, std::move(differing), &window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

}  // namespace zorbix::screen

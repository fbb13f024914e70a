// The menu bar of the main window. The first four menus name commands that
// the buttons reach; they stay greyed, as they always were. Only "帮助(&H)"
// can be used.
#include <QMenuBar>

#include "screen/control_names.h"
#include "screen/main_window.h"

namespace zorbix::screen {
namespace {

struct Item {
    const char* name;
    const char* caption;
};

struct Menu {
    const char* name;
    const char* caption;
    bool enabled;
    std::initializer_list<Item> items;
};

const Menu kMenus[] = {
    {"MenuData_Edit",
     "数据录入/修改(&E)",
     false,
     {{control::kMenuDataEdit, "数据录入/修改(&E)"},
      {"MenuDataInitialization", "数据初始化(&I)"},
      {"MenuDataAdd", "追加项目清单(&A)"},
      {"MenuDataCopy", "数据复制(&C)"},
      {"MenuDataPlaster", "数据粘贴(&P)"},
      {"MenuDataDelete", "数据删除(&D)"}}},
    {"MenuDatatransmittal",
     "数据传送(&T)",
     false,
     {{"MenuDataInput", "接收数据(&A)"},
      {"MenuDataTraExcel", "提交数据(&E)"},
      {"MenuAddData", "追加数据(&A)"}}},
    {"MenuDataCheck",
     "数据审核(&C)",
     false,
     {{"MenuCheckCurrent", "审核当前纪录(&C)"}, {"MenuCheckAll", "审核全部记录(&A)"}}},
    {"MenuReport",
     "报表生成(&R)",
     false,
     {{"MenuCurrentRecordReport", "当前记录生成报表(&C)"},
      {"MenuAllRecordsReport", "全部记录生成报表(&A)"}}},
    {"MenuHelp",
     "帮助(&H)",
     true,
     {{"MenuHelpView", "帮助信息(&H)"}, {"MenuAbout", "关于ZORBIX(&A)"}}},
};

}  // namespace

void MainWindow::BuildMenus() {
    for (const Menu& m : kMenus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(m.caption));
        menu->setObjectName(m.name);
        menu->menuAction()->setObjectName(QString(m.name) + "Action");
        menu->setEnabled(m.enabled);
        menu->menuAction()->setEnabled(m.enabled);
        for (const Item& item : m.items) {
            QAction* action = menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(item.name);
        }
    }
    Action(control::kMenuDataEdit)->setEnabled(false);
}

}  // namespace zorbix::screen

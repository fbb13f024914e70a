// Where the buttons and menu items of the check, exchange, report, summary
// and reconciliation subsystems meet their operations. The window creates
// every button with its object name and calls WireOperations once, at the
// end of its construction; each subsystem fills only its own function in
// operation_wiring.cpp. An operation ends with its result or a message
// through context.prompter; a handler never lets an exception out.
//
// What a handler can use (screen/main_window.h):
//   window.Button("CommandCheck")       the QPushButton of that object name
//   window.Action("MenuHelpView")       a menu item (QAction)
//   context.store, context.records      the store and its record set
//   context.prompter                    messages, dialogs, busy and progress
//   context.directory                   the program directory
//   window.PanelText() / SetPanelText(text) / AppendPanelText(text)
//                                       the check result panel TextCheckReport
//                                       (QString, CR LF line ends)
//   window.CurrentPage(), window.ShowPage(PageId::List)
//   window.SetLeaveCheck(std::function<bool(int table)>)
//                                       asked before "上一页"/"下一页" leave
//                                       table 1..4 (table one's pickers are
//                                       already hidden); false keeps the page
//
// The buttons, by subsystem:
//   check:     CommandCheck ("数据审核", start screen), CommandCheckItem
//              ("项目审核", list page), CommandCheckClear ("清除") and
//              CommandSaveCheckReport ("保存结果") of the panel, and the leave
//              check of CommandFront1..4 / CommandBack1..4 via SetLeaveCheck
//   exchange:  CommandAddData ("追加数据"), CommandExcel ("提交数据"),
//              CommandEachItem ("项目下发") on the start screen, Command1
//              ("项目上报") on the list page
//   report:    CommandReports ("报表生成", start screen), CommandReport
//              ("报表生成", list page), CommandPrint ("报表打印"), MenuHelpView
//   summary:   CommandSum ("汇  总"; hidden without 人才培养情况.xlsx)
//   reconcile: CommandItem ("未报项目核对"; hidden likewise)
//
// Example:
//   QObject::connect(window.Button("CommandCheck"), &QPushButton::clicked, &window,
//                    [&window, &context] {
//                        const std::string text = check::CheckAllProjects(
//                            context.records, context.prompter);
//                        window.SetPanelText(QString::fromStdString(text));
//                    });
#pragma once

#include "screen/window_context.h"

namespace zorbix::screen {

class MainWindow;

void WireCheckOperations(MainWindow& window, WindowContext& context);
void WireExchangeOperations(MainWindow& window, WindowContext& context);
void WireReportOperations(MainWindow& window, WindowContext& context);
void WireSummaryOperations(MainWindow& window, WindowContext& context);
void WireReconcileOperations(MainWindow& window, WindowContext& context);

// All of the above, in this order.
void WireOperations(MainWindow& window, WindowContext& context);

}  // namespace zorbix::screen

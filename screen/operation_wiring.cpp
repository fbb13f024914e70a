// The one place where the subsystems' operations are connected to the
// window's buttons (see operation_wiring.h for what each may use).
#include "screen/operation_wiring.h"

#include <QAction>
#include <QPushButton>
#include <exception>
#include <stdexcept>

#include "check/check_runs.h"
#include "check/finding_fields.h"
#include "exchange/exchange_operations.h"
#include "lists/results_workbook.h"
#include "reconcile/plan_reconciliation.h"
#include "report/help_entry.h"
#include "report/project_report.h"
#include "report/report_printing.h"
#include "screen/control_names.h"
#include "screen/help_window.h"
#include "screen/list_menu.h"
#include "screen/main_window.h"
#include "screen/safety_menu.h"
#include "screen/tools_menu.h"
#include "store/store_messages.h"
#include "store/titles.h"
#include "summary/summary_run.h"

namespace zorbix::screen {
namespace {

// Connects a button (or menu item) of that object name to an operation.
template <typename Operation>
void OnClick(MainWindow& window, WindowContext& context, const char* name, Operation operation) {
    auto run = [&context, operation] { Guarded(context, operation); };
    if (QPushButton* button = window.Button(name)) {
        QObject::connect(button, &QPushButton::clicked, &window, run);
    } else if (QAction* action = window.Action(name)) {
        QObject::connect(action, &QAction::triggered, &window, run);
    } else {
        // A renamed control would leave its operation unreachable without a
        // sign; every window test builds the wiring, so this stops them.
        throw std::logic_error(std::string("没有名为") + name + "的按钮或菜单项。");
    }
}

std::string PanelOf(const MainWindow& window) { return window.PanelText().toStdString(); }

void SetPanel(MainWindow& window, const std::string& text) {
    window.SetPanelText(QString::fromStdString(text));
}

}  // namespace

void WireCheckOperations(MainWindow& window, WindowContext& context) {
    OnClick(window, context, control::kStartCheck, [&window, &context] {
        std::string panel = PanelOf(window);
        std::vector<check::Finding> findings;
        const base::Outcome outcome =
            check::CheckAllProjects(context.records, context.prompter, panel, &findings);
        window.ShowCheckResult(panel, std::move(findings));
        // A walk the store broke off has not seen every project.
        if (outcome == base::Outcome::Done) window.AfterCheck(true);
    });
    OnClick(window, context, control::kListCheck, [&window, &context] {
        std::string panel = PanelOf(window);
        std::vector<check::Finding> findings;
        if (check::CheckCurrentProject(context.records, context.prompter, panel, &findings) !=
            base::Outcome::Done)
            return;
        window.ShowCheckResult(panel, std::move(findings));
        window.AfterCheck(false);
    });
    OnClick(window, context, control::kPanelClear, [&window] {
        std::string panel = PanelOf(window);
        check::ClearCheckReport(panel);
        SetPanel(window, panel);
    });
    OnClick(window, context, control::kPanelSave,
            // A text file as before, or the findings as a workbook when the
            // user picks that type.
            [&window, &context] {
                lists::SaveResults(context.records, context.prompter, PanelOf(window),
                                   context.directory, window.PanelFindings());
            });
    static constexpr store::Page kTables[] = {store::Page::TableOne, store::Page::TableTwo,
                                              store::Page::TableThree, store::Page::TableFour};
    window.SetLeaveCheck([&window, &context](int table) {
        if (table < 1 || table > 4) return true;
        bool may_leave = true;
        Guarded(context, [&] {
            const store::Page page = kTables[table - 1];
            may_leave = check::CheckPageBeforeLeaving(context.records, context.prompter, page);
            // The message has been closed: the cursor goes where the problem is.
            if (!may_leave)
                if (const auto column = check::FirstFailingColumn(page, context.records.Current()))
                    window.ShowField(*column);
        });
        return may_leave;
    });
}

void WireExchangeOperations(MainWindow& window, WindowContext& context) {
    OnClick(window, context, control::kListSubmit, [&context] {
        exchange::SubmitCurrentProject(context.records, context.prompter, context.directory);
    });
    OnClick(window, context, control::kStartSubmit, [&context] {
        exchange::SubmitAllProjects(context.records, context.prompter, context.directory);
    });
    // Files of their own go to the working directory, which the program
    // sets to its program directory at start.
    OnClick(window, context, control::kStartDistribute, [&context] {
        exchange::DistributeProjects(context.records, context.prompter,
                                     std::filesystem::current_path());
    });
    OnClick(window, context, control::kStartAppend, [&window, &context] {
        auto result =
            exchange::AppendProjects(context.records, context.prompter, context.directory);
        ReviewResentProjects(window, context, std::move(result.differing));
    });
}

void WireReportOperations(MainWindow& window, WindowContext& context) {
    OnClick(window, context, control::kStartReports, [&context] {
        report::CommandReports(context.records, context.prompter, context.directory);
    });
    OnClick(window, context, control::kListReport, [&context] {
        report::CommandReport(context.records, context.prompter, context.directory);
    });
    OnClick(window, context, control::kListPrint, [&context] {
        report::CommandPrint(context.records, context.prompter, context.directory);
    });
    OnClick(window, context, control::kMenuHelpView, [&window, &context] {
        const auto help = report::MenuHelpView(context.prompter, context.directory);
        if (help) OpenHelp(&window, context.prompter, *help);
    });
}

void WireSummaryOperations(MainWindow& window, WindowContext& context) {
    OnClick(window, context, control::kStartSummary, [&context] {
        summary::RunAllSummaries(context.records, context.prompter, context.directory);
    });
}

void WireReconcileOperations(MainWindow& window, WindowContext& context) {
    OnClick(window, context, control::kStartReconcile, [&window, &context] {
        const auto result =
            reconcile::ReconcileWithPlan(context.records, context.prompter, context.directory);
        if (result) SetPanel(window, result.panel);
    });
}

void WireOperations(MainWindow& window, WindowContext& context) {
    WireCheckOperations(window, context);
    WireExchangeOperations(window, context);
    WireReportOperations(window, context);
    WireSummaryOperations(window, context);
    WireReconcileOperations(window, context);
    WireSafetyOperations(window, context);
    WireListOperations(window, context);
}

}  // namespace zorbix::screen

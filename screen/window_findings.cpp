// The window's part of the finding navigation: the navigator over the
// result panel, its keys and buttons, the jump to a field, the grid's
// findings column after a check, and Ctrl+F into the grid's filter.
#include <QPushButton>
#include <QShortcut>

#include "screen/control_names.h"
#include "screen/field_binder.h"
#include "screen/finding_navigator.h"
#include "screen/list_page.h"
#include "screen/main_window.h"
#include "screen/project_table_model.h"
#include "store/catalogue.h"

namespace zorbix::screen {

void MainWindow::BuildFindingNavigation() {
    findings_ = new FindingNavigator(
        list_->panel(), records(), prompter(), [this](int column) { ShowField(column); }, this);
    auto shortcut = [this](QKeySequence keys, auto action) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_F8), [this] { findings_->Next(); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { findings_->Previous(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        if (CurrentPage() != PageId::List) ShowPage(PageId::List);
        list_->filter()->setFocus(Qt::ShortcutFocusReason);
        list_->filter()->selectAll();
    });
    connect(Button(control::kPanelNextFinding), &QPushButton::clicked, this,
            [this] { findings_->Next(); });
    connect(Button(control::kPanelPreviousFinding), &QPushButton::clicked, this,
            [this] { findings_->Previous(); });
}

void MainWindow::ShowField(int column) {
    if (column < 0 || column >= store::kColumnCount) return;
    if (binder_->stale()) binder_->RefreshAll();
    const store::Column& c = store::Columns()[column];
    const PageId page = FormPageOf(c.page);
    if (CurrentPage() != page) ShowPage(page);
    if (QWidget* field = binder_->FieldOf(c.name)) field->setFocus(Qt::OtherFocusReason);
}

void MainWindow::AfterCheck(bool whole_store) {
    auto counts = findings_->CountsByProject();
    if (!whole_store && records().HasCurrent()) {
        const std::string number(records().Value(store::kNumberColumn));
        counts.try_emplace(number, 0);
    }
    list_->model()->SetFindingCounts(std::move(counts), whole_store);
}

}  // namespace zorbix::screen

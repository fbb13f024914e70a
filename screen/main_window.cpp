#include "screen/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

#include "screen/field_binder.h"
#include "screen/finding_navigator.h"
#include "screen/form_page.h"
#include "screen/list_page.h"
#include "screen/operation_wiring.h"
#include "screen/pickers.h"
#include "screen/start_screen.h"
#include "screen/title_strip.h"
#include "screen/twips.h"

namespace zorbix::screen {
namespace {

// The window's client area; every size change lays the window out again.
class ClientArea : public QWidget {
public:
    ClientArea(std::function<void()> on_resize, QWidget* parent)
        : QWidget(parent), on_resize_(std::move(on_resize)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        on_resize_();
    }

private:
    std::function<void()> on_resize_;
};

}  // namespace

// On a store several clerks share, what others add, remove or change shows
// while the window waits, not only at the next move. An SQLite file has one
// writer and nothing to take in.
void MainWindow::FollowOthersWhileIdle() {
    if (context_.store.engine() != store::Engine::Postgres) return;
    auto* timer = new QTimer(this);
    timer->setInterval(2000);
    connect(timer, &QTimer::timeout, this, [this] {
        if (records().HasPendingChange()) return;
        try {
            records().FollowChanges();
        } catch (const base::Failure&) {
            // The next operation meets the same fault and says so.
        }
    });
    timer->start();
}

MainWindow::MainWindow(store::Store& store, base::Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), context_{store, store.records(), prompter, store.directory()} {
    setObjectName("FormMain");
    setWindowTitle("Qorvath省科技计划项目执行情况年度调查(2013)");
    BuildMenus();
    area_ = new ClientArea([this] { LayOutWindow(); }, this);
    area_->setObjectName("ClientArea");
    setCentralWidget(area_);
    start_ = new StartScreen(area_);
    title_ = new TitleStrip(records(), prompter, area_);
    title_->setToolTip(QString::fromStdString("程序目录：" + directory().string()));
    binder_ = new FieldBinder(records(), prompter, this);
    binder_->AddTitleField(title_->item_number());
    binder_->AddTitleField(title_->item_name());
    BuildPages(area_);
    binder_->SetAfterRefresh([this] { AfterRefresh(); });
    ConnectStoreCommands();
    BuildFindingNavigation();
    start_->CheckSummaryTemplates(directory());
    area_->resize(TwipSize(13635, 10710));
    resize(TwipSize(13635, 10710) + QSize(0, menuBar()->sizeHint().height()));
    CollapseAll();
    binder_->RefreshAll();
    FollowOthersWhileIdle();
    WireOperations(*this, context_);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildPages(QWidget* area) {
    list_ = new ListPage(records(), prompter(), area);
    for (const auto& [id, page] : kFormPages) {
        auto* form = new FormPage(page, area);
        forms_[id] = form;
        binder_->AddPage(form);
        ConnectPageButtons(form);
    }
    pickers_ =
        new PickerSet(forms_[PageId::TableOne], forms_[PageId::TableFour], records(),
                      [this](const std::string& column) { return binder_->FieldOf(column); });
    binder_->SetPickers(pickers_);
}

FormPage* MainWindow::form_page(PageId page) const {
    const auto it = forms_.find(page);
    return it == forms_.end() ? nullptr : it->second;
}

QString MainWindow::PanelText() const { return list_->PanelText(); }

void MainWindow::SetPanelText(const QString& text) {
    list_->SetPanelText(text);
    if (findings_) findings_->ShowFindings({});
}

// The lines already shown keep their findings.
void MainWindow::AppendPanelText(const QString& text) {
    std::vector<check::Finding> shown = findings_->Findings();
    list_->SetPanelText(PanelText() + text);
    findings_->ShowFindings(std::move(shown));
}

void MainWindow::ShowCheckResult(const std::string& text, std::vector<check::Finding> findings) {
    list_->SetPanelText(QString::fromStdString(text));
    findings_->ShowFindings(std::move(findings));
}

std::vector<check::Finding> MainWindow::PanelFindings() { return findings_->Findings(); }

void MainWindow::SetLeaveCheck(std::function<bool(int)> may_leave) {
    may_leave_ = std::move(may_leave);
}

QPushButton* MainWindow::Button(const char* name) const { return findChild<QPushButton*>(name); }

QAction* MainWindow::Action(const char* name) const { return findChild<QAction*>(name); }

void MainWindow::closeEvent(QCloseEvent* event) {
    // Ending asks nothing; the store writes a pending change when it closes.
    binder_->SetChecksEnabled(false);
    event->accept();
}

void MainWindow::AfterRefresh() {
    title_->ShowRecordPosition();
    if (CurrentPage() == PageId::List) list_->FollowCurrentRecord();
}

}  // namespace zorbix::screen

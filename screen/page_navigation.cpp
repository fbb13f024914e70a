// The moves between the start screen and the pages: opening the list, the
// ring of "上一页"/"下一页" through the cover and the four tables, closing a
// page, the page steps of adding a project and ending editing, and the
// layout that every size change of the window applies.
#include <QMenuBar>
#include <stdexcept>
#include <string>

#include "forms/page_layout.h"
#include "screen/control_names.h"
#include "screen/field_binder.h"
#include "screen/form_page.h"
#include "screen/list_page.h"
#include "screen/main_window.h"
#include "screen/pickers.h"
#include "screen/start_screen.h"
#include "screen/title_strip.h"
#include "screen/twips.h"
#include "store/store_operations.h"

namespace zorbix::screen {
namespace {

using forms::kPageHeight;
using forms::kPageWidth;

// The ring: where "上一页" and "下一页" go and which field takes the focus.
struct RingStep {
    PageId page;
    PageId previous;
    const char* previous_focus;
    PageId next;
    const char* next_focus;
};

constexpr RingStep kRing[] = {
    {PageId::Cover, PageId::TableFour, "JG131", PageId::TableOne, "JB21"},
    {PageId::TableOne, PageId::Cover, "JB01", PageId::TableTwo, "JF1001"},
    {PageId::TableTwo, PageId::TableOne, "JB21", PageId::TableThree, "JL100"},
    {PageId::TableThree, PageId::TableTwo, "JF1002", PageId::TableFour, "JG131"},
    {PageId::TableFour, PageId::TableThree, "JL100", PageId::Cover, "JB01"},
};

const RingStep& StepOf(PageId page) {
    for (const RingStep& step : kRing)
        if (step.page == page) return step;
    return kRing[0];
}

}  // namespace

void MainWindow::LayOutWindow() {
    if (!pickers_) return;  // still being built
    const int width = area_->width();
    const int height = area_->height();
    QWidget* background = start_->background();
    const int picture_height = height > Px(1010) ? height - Px(1000) : background->height();
    background->setGeometry(0, Px(500), width, picture_height);
    title_->setGeometry(0, 0, width, Px(500));
    const QPoint page_at((background->width() - Px(kPageWidth)) / 2 + Px(400), Px(720));
    list_->move(page_at);
    for (auto& [id, form] : forms_) form->move(page_at);
    CollapseAll();
}

void MainWindow::CollapseAll() {
    pickers_->HideAll();
    list_full_size_ = false;
    SetListOpen(list_full_size_, list_visible_);
    for (auto& [id, form] : forms_) {
        form->hide();
        form->resize(Px(10), Px(10));
    }
}

void MainWindow::SetListOpen(bool full_size, bool visible) {
    list_full_size_ = full_size;
    list_visible_ = visible;
    list_->resize(full_size ? TwipSize(kPageWidth, kPageHeight) : TwipSize(10, 10));
    // Collapsed to a speck the page would still take the focus: hide it.
    list_->setVisible(full_size && visible);
    if (full_size && visible) {
        list_->raise();
        list_->FollowCurrentRecord();
    }
}

void MainWindow::OpenFormPage(PageId page) {
    FormPage* form = forms_.at(page);
    form->resize(TwipSize(kPageWidth, kPageHeight));
    form->show();
    form->raise();
}

PageId MainWindow::CurrentPage() const {
    for (const auto& [id, form] : forms_)
        if (form->isVisibleTo(area_)) return id;
    return list_->isVisibleTo(area_) ? PageId::List : PageId::Start;
}

void MainWindow::ShowPage(PageId page) {
    if (page == PageId::Start) return CollapseAll();
    if (page == PageId::List) {
        for (auto& [id, form] : forms_) form->hide();
        return SetListOpen(true, true);
    }
    OpenFormPage(page);
    for (auto& [id, form] : forms_)
        if (id != page) form->hide();
    SetListOpen(list_full_size_, false);
}

void MainWindow::Leave(PageId from, bool forward) {
    if (from == PageId::TableOne) pickers_->HideAll();
    const int table = TableNumber(from);
    if (table > 0 && may_leave_ && !may_leave_(table)) return;
    const RingStep& step = StepOf(from);
    const PageId to = forward ? step.next : step.previous;
    OpenFormPage(to);
    if (QWidget* field = binder_->FieldOf(forward ? step.next_focus : step.previous_focus))
        field->setFocus(Qt::OtherFocusReason);
    forms_.at(from)->hide();
    forms_.at(from)->resize(Px(10), Px(10));
}

void MainWindow::ClosePage(PageId page) {
    if (page == PageId::TableOne) pickers_->HideAll();
    forms_.at(page)->hide();
    forms_.at(page)->resize(Px(10), Px(10));
    SetListOpen(list_full_size_, true);
}

void MainWindow::ConnectPageButtons(FormPage* form) {
    PageId id = PageId::Cover;
    for (const auto& [page_id, page] : forms_)
        if (page == form) id = page_id;
    connect(form->previous(), &QPushButton::clicked, this, [this, id] { Leave(id, false); });
    connect(form->next(), &QPushButton::clicked, this, [this, id] { Leave(id, true); });
    connect(form->close(), &QPushButton::clicked, this, [this, id] { ClosePage(id); });
}

void MainWindow::AddProject() {
    if (!store::AddProject(records(), prompter())) return;
    binder_->RefreshAll();
    ShowPage(PageId::Cover);
    if (QWidget* number = binder_->FieldOf("JB02")) number->setFocus(Qt::OtherFocusReason);
}

void MainWindow::EndEditing() {
    SetListOpen(false, list_visible_);
    store::EndEditing(records(), prompter());
}

void MainWindow::ConnectStoreCommands() {
    auto on = [this](const char* name, auto handler) {
        QPushButton* button = Button(name);
        if (!button) throw std::logic_error(std::string("没有名为") + name + "的按钮。");
        connect(button, &QPushButton::clicked, this, handler);
    };
    on(control::kStartEditData, [this] { SetListOpen(true, true); });
    on(control::kListEdit, [this] { ShowPage(PageId::Cover); });
    on(control::kListAdd, [this] { AddProject(); });
    on(control::kListDelete, [this] { store::DeleteProject(records(), prompter()); });
    on(control::kStartDataInit, [this] { store::InitialiseStore(records(), prompter()); });
    on(control::kListEndEditing, [this] { EndEditing(); });
    on(control::kStartEnd, [this] { close(); });
    connect(Action(control::kMenuDataEdit), &QAction::triggered, this,
            [this] { SetListOpen(true, list_visible_); });
}

}  // namespace zorbix::screen

// FormMain, the program's one window: the menu bar, the title strip, the
// start screen and the six pages over it, and the moves between them. The
// pages are built from the catalogue; the fields follow the current record
// through FieldBinder; the operations of the subsystems are connected in
// operation_wiring.cpp through the accessors below.
#pragma once

#include <QMainWindow>
#include <QPushButton>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "check/check_result.h"
#include "screen/page_id.h"
#include "screen/window_context.h"

namespace zorbix::screen {

class FieldBinder;
class FindingNavigator;
class FormPage;
class ListPage;
class PickerSet;
class StartScreen;
class TitleStrip;

class MainWindow : public QMainWindow {
public:
    // The window over an opened store; messages go through `prompter`.
    MainWindow(store::Store& store, base::Prompter& prompter, QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- for the wiring of operations ---
    WindowContext& context() { return context_; }
    store::Store& store() { return context_.store; }
    store::RecordSet& records() { return context_.records; }
    base::Prompter& prompter() { return context_.prompter; }
    const std::filesystem::path& directory() const { return context_.directory; }

    // The check result panel's text (CR LF line ends) and setting it; text
    // set so has its finding lines read from it.
    QString PanelText() const;
    void SetPanelText(const QString& text);
    void AppendPanelText(const QString& text);
    // The panel's text after a check, with the findings it was made from.
    void ShowCheckResult(const std::string& text, std::vector<check::Finding> findings);
    // The findings the panel's lines stand for, in line order.
    std::vector<check::Finding> PanelFindings();

    PageId CurrentPage() const;
    // Opens a page (or the start screen) and closes the others.
    void ShowPage(PageId page);

    // Asked before "上一页"/"下一页" leave table 1..4; false keeps the page
    // open (the check has shown its findings). Default: always yes.
    void SetLeaveCheck(std::function<bool(int table)> may_leave);

    // Opens the page of a table column and puts the cursor into its field.
    void ShowField(int column);
    // After a check run: the grid's findings column follows the panel.
    void AfterCheck(bool whole_store);

    // A button, menu action or widget by its object name.
    QPushButton* Button(const char* name) const;
    QAction* Action(const char* name) const;

    // --- the parts, for tests and the screenshots ---
    TitleStrip* title_strip() const { return title_; }
    StartScreen* start_screen() const { return start_; }
    ListPage* list_page() const { return list_; }
    FormPage* form_page(PageId page) const;
    FieldBinder* binder() const { return binder_; }
    PickerSet* pickers() const { return pickers_; }
    FindingNavigator* findings() const { return findings_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FollowOthersWhileIdle();
    void BuildMenus();
    void BuildPages(QWidget* area);
    void ConnectStoreCommands();
    void ConnectPageButtons(FormPage* page);
    void BuildFindingNavigation();

    // LayOutWindow: every size change closes the open page.
    void LayOutWindow();
    void CollapseAll();
    void OpenFormPage(PageId page);
    void SetListOpen(bool full_size, bool visible);
    void Leave(PageId from, bool forward);
    void ClosePage(PageId page);
    void AddProject();
    void EndEditing();
    void AfterRefresh();

    WindowContext context_;
    QWidget* area_ = nullptr;
    TitleStrip* title_ = nullptr;
    StartScreen* start_ = nullptr;
    ListPage* list_ = nullptr;
    std::map<PageId, FormPage*> forms_;
    FieldBinder* binder_ = nullptr;
    PickerSet* pickers_ = nullptr;
    FindingNavigator* findings_ = nullptr;
    bool list_full_size_ = false;  // the list page's size and visibility are
    bool list_visible_ = false;    // separate; it is open only with both
    std::function<bool(int)> may_leave_;
    int listener_ = 0;
};

}  // namespace zorbix::screen

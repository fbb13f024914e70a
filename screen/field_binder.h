// Binds the page fields and the two title-strip fields to the columns of the
// current record. Typing goes to the record at once as a pending change;
// every move of the record refreshes the fields. The binder also runs the
// focus handling of the fields: caption highlight, pickers and PickerRow,
// today's date for TBSJ, and the checks on leaving JB02, JB06 and JB82.
//
// A move only marks the fields stale; they are refreshed once the event
// loop runs, or at once before any key or mouse input reaches a widget. So
// a walk over thousands of records does not repaint the pages per record,
// and a keystroke never lands in a field that still shows another record.
#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::screen {

class CaptionLabel;
class FieldEdit;
class FormPage;
class PickerSet;
class ResultsEdit;

class FieldBinder : public QObject {
public:
    FieldBinder(store::RecordSet& records, base::Prompter& prompter, QObject* parent);
    ~FieldBinder() override;

    void AddPage(FormPage* page);
    void AddTitleField(FieldEdit* field);
    void SetPickers(PickerSet* pickers) { pickers_ = pickers; }
    // Runs after every refresh of the fields (the navigator caption, the
    // grid's current row follow the record there).
    void SetAfterRefresh(std::function<void()> after) { after_refresh_ = std::move(after); }

    // The page field of a column, or nullptr.
    QWidget* FieldOf(const std::string& column) const;

    // Shows the current record in every field now.
    void RefreshAll();
    bool stale() const { return stale_; }

    // Off while the window closes: leaving a field then checks nothing.
    void SetChecksEnabled(bool on) { checks_enabled_ = on; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Binding {
        int column;
        QWidget* widget;
    };

    void OnRecordEvent(const store::RecordEvent& event);
    void MarkStale();
    void RefreshColumn(int column);
    void Show(const Binding& binding);
    void ShowRefusedTyping(const Binding& binding, const QString& shown);

    void Connect(FieldEdit* field, CaptionLabel* caption);
    void Connect(ResultsEdit* field);
    void Edited(int column, const QString& text, QWidget* widget);
    void Gained(FieldEdit* field, CaptionLabel* caption);
    void Lost(FieldEdit* field, CaptionLabel* caption, Qt::FocusReason reason);

    store::RecordSet& records_;
    base::Prompter& prompter_;
    PickerSet* pickers_ = nullptr;
    std::vector<Binding> bindings_;
    std::map<std::string, QWidget*> fields_;
    int listener_ = 0;
    bool stale_ = false;
    bool refresh_posted_ = false;
    bool checks_enabled_ = true;
    std::function<void()> after_refresh_;
};

}  // namespace zorbix::screen

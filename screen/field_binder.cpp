#include "screen/field_binder.h"

#include <QApplication>
#include <QDate>
#include <QTimer>

#include "base/error.h"
#include "check/field_problems.h"
#include "screen/captions.h"
#include "screen/field_edit.h"
#include "screen/form_page.h"
#include "screen/pickers.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

using store::RecordEventKind;

QString Q(std::string_view v) { return QString::fromUtf8(v.data(), static_cast<int>(v.size())); }

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel: return true;
        default: return false;
    }
}

// Focus that leaves the window (another window, a menu) is no leaving.
bool LeavesField(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

FieldBinder::FieldBinder(store::RecordSet& records, base::Prompter& prompter, QObject* parent)
    : QObject(parent), records_(records), prompter_(prompter) {
    listener_ = records_.Subscribe([this](const store::RecordEvent& e) { OnRecordEvent(e); });
    qApp->installEventFilter(this);
}

FieldBinder::~FieldBinder() { records_.Unsubscribe(listener_); }

void FieldBinder::AddPage(FormPage* page) {
    for (QWidget* w : page->fields()) {
        if (auto* field = qobject_cast<FieldEdit*>(w)) {
            Connect(field, page->CaptionOf(field->column().name));
            fields_[field->column().name] = field;
        } else if (auto* results = qobject_cast<ResultsEdit*>(w)) {
            Connect(results);
            fields_[results->column().name] = results;
        }
    }
}

void FieldBinder::AddTitleField(FieldEdit* field) {
    bindings_.push_back({field->column().index, field});
    connect(field, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { Edited(field->column().index, text, field); });
}

QWidget* FieldBinder::FieldOf(const std::string& column) const {
    const auto it = fields_.find(column);
    return it == fields_.end() ? nullptr : it->second;
}

void FieldBinder::Connect(FieldEdit* field, CaptionLabel* caption) {
    bindings_.push_back({field->column().index, field});
    connect(field, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { Edited(field->column().index, text, field); });
    connect(field, &FieldEdit::FocusGained, this,
            [this, caption](FieldEdit* f) { Gained(f, caption); });
    connect(field, &FieldEdit::FocusLost, this,
            [this, caption](FieldEdit* f, Qt::FocusReason r) { Lost(f, caption, r); });
    connect(field, &FieldEdit::ArrowTarget, this, [this](FieldEdit*, const QString& target) {
        if (QWidget* to = FieldOf(target.toStdString())) to->setFocus(Qt::OtherFocusReason);
    });
}

void FieldBinder::Connect(ResultsEdit* field) {
    bindings_.push_back({field->column().index, field});
    connect(field, &ResultsEdit::Edited, this,
            [this](ResultsEdit* f) { Edited(f->column().index, f->StoredValue(), f); });
    connect(field, &ResultsEdit::FocusGained, this, [this](ResultsEdit* f) {
        f->SetHighlighted(true);
        if (pickers_) pickers_->HideAll();
    });
    connect(field, &ResultsEdit::FocusLost, this, [this](ResultsEdit* f, Qt::FocusReason r) {
        if (!LeavesField(r)) return;
        f->SetHighlighted(false);
        // Double quotes would break the exchange file's fields.
        QString text = f->StoredValue();
        if (text.contains(u'"')) Edited(f->column().index, text.remove(u'"'), f);
    });
}

void FieldBinder::Edited(int column, const QString& text, QWidget* widget) {
    try {
        records_.SetValue(column, text.toStdString());
    } catch (const base::Failure&) {
        // No record is current: the field goes back to showing nothing.
        for (const Binding& b : bindings_)
            if (b.widget == widget) Show(b);
    }
}

void FieldBinder::Gained(FieldEdit* field, CaptionLabel* caption) {
    const store::Column& column = field->column();
    if (caption) caption->SetHighlighted(true);
    if (pickers_) {
        if (column.picker != store::Picker::None)
            pickers_->ShowFor(field, column);
        else if (column.hides_pickers)
            pickers_->HideAll();
        if (column.picker_row > 0) pickers_->SetRow(column.picker_row);
    }
    if (column.name == "TBSJ" && records_.HasCurrent())
        records_.SetValue(column.index, QDate::currentDate().toString("yyyy-MM-dd").toStdString());
}

void FieldBinder::Lost(FieldEdit* field, CaptionLabel* caption, Qt::FocusReason reason) {
    if (!LeavesField(reason)) return;
    std::optional<std::string> problem;
    if (checks_enabled_ && field->isVisible())
        problem = check::LeavingProblem(records_, field->column().name);
    if (!problem) {
        if (caption) caption->SetHighlighted(false);
        return;
    }
    // The focus goes back at once, so the field it was going to never
    // takes it; the message follows once the focus change is over.
    field->setFocus(Qt::OtherFocusReason);
    QTimer::singleShot(0, this, [this, field, text = *problem] {
        base::Inform(prompter_, store::kProgramTitle, text);
        // Closing the message need not give the window back its activation;
        // without it Tab and clicks never reach the mended field again.
        if (!field->isVisible()) return;
        field->window()->activateWindow();
        field->setFocus(Qt::OtherFocusReason);
    });
}

void FieldBinder::OnRecordEvent(const store::RecordEvent& event) {
    switch (event.kind) {
        case RecordEventKind::ValueChanged:
            if (!stale_) RefreshColumn(event.column);
            break;
        case RecordEventKind::Written: break;
        default:
            if (pickers_) pickers_->HideAll();
            MarkStale();
    }
}

void FieldBinder::MarkStale() {
    stale_ = true;
    if (refresh_posted_) return;
    refresh_posted_ = true;
    QTimer::singleShot(0, this, [this] {
        refresh_posted_ = false;
        if (stale_) RefreshAll();
    });
}

void FieldBinder::RefreshAll() {
    stale_ = false;
    for (const Binding& b : bindings_) Show(b);
    if (after_refresh_) after_refresh_();
}

void FieldBinder::RefreshColumn(int column) {
    for (const Binding& b : bindings_)
        if (b.column == column) Show(b);
}

// Without a current record there is nowhere for typing to go (before the
// first move, after a delete): the fields take no input until there is one,
// so nothing typed can vanish.
void FieldBinder::Show(const Binding& b) {
    const QString value = Q(records_.Value(b.column));
    const bool editable = records_.HasCurrent();
    ShowRefusedTyping(b, value);
    if (auto* field = qobject_cast<FieldEdit*>(b.widget)) {
        field->ShowValue(value);
        field->setReadOnly(!editable);
    } else if (auto* results = qobject_cast<ResultsEdit*>(b.widget)) {
        results->ShowValue(value);
        results->setReadOnly(!editable);
    }
}

// A write refused over another person's change leaves the stored values in
// the fields; what the clerk had typed stays beside each field that differs
// (a tinted field, the typing as its tip) until the record is left.
void FieldBinder::ShowRefusedTyping(const Binding& b, const QString& shown) {
    const store::Record* refused = records_.RefusedTyping();
    const QString typed = refused ? Q((*refused)[b.column]) : QString();
    const bool differs = refused && typed != shown;
    const QString tip = differs ? "您输入而没有保存的内容：" + typed : QString();
    if (b.widget->toolTip() == tip) return;
    b.widget->setToolTip(tip);
    QPalette palette = b.widget->palette();
    palette.setColor(QPalette::Base, differs ? QColor(255, 222, 173) : QColor(Qt::white));
    b.widget->setPalette(palette);
}

bool FieldBinder::eventFilter(QObject* watched, QEvent* event) {
    if (stale_ && IsInput(event->type())) RefreshAll();
    return QObject::eventFilter(watched, event);
}

}  // namespace zorbix::screen

// The input fields of the pages. FieldEdit is the single-line field of one
// column: its key class (which characters it takes, what Enter does), its
// GBK length limit, and the arrow keys that move the focus. ResultsEdit is
// the multi-line results text JDCG. Both only report what happens (focus
// gained or lost, an arrow with a target, an edit); FieldBinder decides what
// follows, so the widgets hold no survey logic.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

#include "forms/arrow_targets.h"
#include "store/catalogue.h"

namespace zorbix::screen {

class TextLimitValidator;

class FieldEdit : public QLineEdit {
    Q_OBJECT
public:
    // A page field of `column`; `keys` is the column's key class, or None for
    // the title-strip fields, which only keep their length limit.
    FieldEdit(const store::Column& column, int max_bytes, store::KeyClass keys, QWidget* parent);

    const store::Column& column() const { return column_; }

    // Shows a value written by the program: whole, whatever its length.
    void ShowValue(const QString& text);

signals:
    void FocusGained(FieldEdit* field);
    void FocusLost(FieldEdit* field, Qt::FocusReason reason);
    void ArrowTarget(FieldEdit* field, const QString& target_column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool HandleEnter(QKeyEvent* event);
    bool HandleArrow(QKeyEvent* event);

    const store::Column& column_;
    store::KeyClass keys_;
    TextLimitValidator* validator_;
    bool focused_ = false;  // a FocusIn was seen, so a FocusOut is real
};

class ResultsEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    ResultsEdit(const store::Column& column, QWidget* parent);

    const store::Column& column() const { return column_; }

    // Shows a stored value (CR LF line ends shown as line breaks).
    void ShowValue(const QString& stored);
    // The text as it is stored: line breaks as CR LF.
    QString StoredValue() const;

    void SetHighlighted(bool on);

signals:
    void FocusGained(ResultsEdit* field);
    void FocusLost(ResultsEdit* field, Qt::FocusReason reason);
    void Edited(ResultsEdit* field);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const store::Column& column_;
    bool showing_ = false;  // the program is writing the text
};

}  // namespace zorbix::screen

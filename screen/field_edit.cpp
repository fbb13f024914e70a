#include "screen/field_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "screen/text_limit_validator.h"
#include "store/value_rules.h"

namespace zorbix::screen {
namespace {

using store::KeyClass;

bool IsDigits(KeyClass keys) { return keys == KeyClass::Digits || keys == KeyClass::DigitsNoEnter; }

bool IsEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }

std::optional<forms::Arrow> ArrowOf(int key) {
    switch (key) {
        case Qt::Key_Up: return forms::Arrow::Up;
        case Qt::Key_Down: return forms::Arrow::Down;
        case Qt::Key_Left: return forms::Arrow::Left;
        case Qt::Key_Right: return forms::Arrow::Right;
        default: return std::nullopt;
    }
}

QString Displayed(const QString& stored) {
    QString text = stored;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

FieldEdit::FieldEdit(const store::Column& column, int max_bytes, KeyClass keys, QWidget* parent)
    : QLineEdit(parent),
      column_(column),
      keys_(keys),
      validator_(new TextLimitValidator(max_bytes, IsDigits(keys), this)) {
    setValidator(validator_);
    if (column.kind == store::Kind::Number) setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void FieldEdit::ShowValue(const QString& text) {
    if (text == this->text()) return;
    validator_->SetAccepted(text);
    setText(text);
    setCursorPosition(0);
}

bool FieldEdit::HandleEnter(QKeyEvent* event) {
    if (!IsEnter(event)) return false;
    // Text and Digits move on as Tab does; the others swallow Enter.
    if (keys_ == KeyClass::Text || keys_ == KeyClass::Digits) focusNextChild();
    return keys_ != KeyClass::None;
}

bool FieldEdit::HandleArrow(QKeyEvent* event) {
    if (keys_ == KeyClass::None) return false;
    const auto arrow = ArrowOf(event->key());
    if (!arrow) return false;
    const std::string target = forms::ArrowTarget(column_.name, *arrow);
    if (target.empty()) return false;  // the caret moves as usual
    emit ArrowTarget(this, QString::fromStdString(target));
    return true;
}

void FieldEdit::keyPressEvent(QKeyEvent* event) {
    if (HandleEnter(event) || HandleArrow(event)) {
        event->accept();
        return;
    }
    // Digits fields discard control characters, Ctrl+V among them.
    if (IsDigits(keys_) && event->matches(QKeySequence::Paste)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FieldEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    focused_ = true;
    emit FocusGained(this);
}

void FieldEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!focused_) return;
    focused_ = false;
    emit FocusLost(this, event->reason());
}

ResultsEdit::ResultsEdit(const store::Column& column, QWidget* parent)
    : QPlainTextEdit(parent), column_(column) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_) emit Edited(this);
    });
}

void ResultsEdit::ShowValue(const QString& stored) {
    const QString text = Displayed(stored);
    if (text == toPlainText()) return;
    showing_ = true;
    setPlainText(text);
    showing_ = false;
}

// Line breaks are stored as CR LF; a tab or another control character that
// was pasted becomes a blank and a character GBK cannot hold a "?", as the
// store's rule for values states, so the results text always fits every
// output.
QString ResultsEdit::StoredValue() const {
    QString text = toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const std::string value = text.toStdString();
    if (!store::ValueFault(column_, value)) return text;
    return QString::fromStdString(store::MendValue(column_, value).value);
}

void ResultsEdit::SetHighlighted(bool on) {
    QPalette p = palette();
    p.setColor(QPalette::Base, on ? QColor(255, 255, 128) : QColor(Qt::white));
    setPalette(p);
}

void ResultsEdit::keyPressEvent(QKeyEvent* event) {
    if (event->text() == QStringLiteral("\"")) {
        insertPlainText(QStringLiteral("'"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ResultsEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().contains(u'"')) {
        QInputMethodEvent safe(event->preeditString(), event->attributes());
        QString commit = event->commitString();
        safe.setCommitString(commit.replace(u'"', u'\''), event->replacementStart(),
                             event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&safe);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void ResultsEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit FocusGained(this);
}

void ResultsEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    emit FocusLost(this, event->reason());
}

}  // namespace zorbix::screen

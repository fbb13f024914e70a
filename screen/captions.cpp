#include "screen/captions.h"

#include <QPainter>

namespace zorbix::screen {

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(true);
    SetHighlighted(false);
}

void CaptionLabel::SetHighlighted(bool on) {
    highlighted_ = on;
    QPalette p = palette();
    const QColor normal = parentWidget() ? parentWidget()->palette().color(QPalette::Button)
                                         : palette().color(QPalette::Button);
    p.setColor(QPalette::Window, on ? QColor(255, 255, 128) : normal);
    setPalette(p);
}

VerticalCaption::VerticalCaption(const QString& text, QWidget* parent)
    : QWidget(parent), text_(text) {}

void VerticalCaption::paintEvent(QPaintEvent*) {
    const QString letters = text_.trimmed();
    if (letters.isEmpty()) return;
    QPainter painter(this);
    QFont f = font();
    const int step = height() / static_cast<int>(letters.size());
    // Shrink the type when the column is short, so every character shows.
    f.setPixelSize(std::max(8, std::min(f.pixelSize() > 0 ? f.pixelSize() : 12, step - 1)));
    painter.setFont(f);
    for (int i = 0; i < letters.size(); ++i)
        painter.drawText(QRect(0, i * step, width(), step), Qt::AlignCenter, letters.mid(i, 1));
}

}  // namespace zorbix::screen

// Caption labels of the pages: the caption beside (or above) its fields,
// which lights up while one of them has the focus, and the narrow side
// captions of table one whose text runs down in a column.
#pragma once

#include <QLabel>
#include <QWidget>

namespace zorbix::screen {

class CaptionLabel : public QLabel {
public:
    CaptionLabel(const QString& text, QWidget* parent);

    // Highlight (255, 255, 128) or the normal button-face colour.
    void SetHighlighted(bool on);
    bool highlighted() const { return highlighted_; }

private:
    bool highlighted_ = false;
};

// A caption drawn one character per line, spread over its height.
class VerticalCaption : public QWidget {
public:
    VerticalCaption(const QString& text, QWidget* parent);
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

}  // namespace zorbix::screen

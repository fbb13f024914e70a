// The program's own pictures, drawn with QPainter so they stay sharp at any
// scale: the start screen's background and the icons of its command
// buttons, the locate button and the record navigator. One style for all:
// a rounded tile in the command's colour with a white line glyph.
#pragma once

#include <QPixmap>
#include <QRect>

class QPainter;

namespace zorbix::screen {

enum class Artwork {
    EditData,
    Check,
    AddData,
    Submit,
    Distribute,
    Reports,
    DataInit,
    Summary,
    Reconcile,
    End,
    Query,
    First,
    Previous,
    Next,
    Last,
};

// A square icon of `size` device-independent pixels.
QPixmap Icon(Artwork kind, int size, qreal device_pixel_ratio);

// The start screen's background over `area`.
void PaintBackground(QPainter& painter, const QRect& area);

}  // namespace zorbix::screen

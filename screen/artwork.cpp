#include "screen/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>

namespace zorbix::screen {
namespace {

// Tile colours, one hue per kind of command.
QColor TileColour(Artwork kind) {
    switch (kind) {
        case Artwork::EditData: return QColor(0x2f, 0x6f, 0xb5);
        case Artwork::Check: return QColor(0x2e, 0x8b, 0x57);
        case Artwork::AddData:
        case Artwork::Submit:
        case Artwork::Distribute: return QColor(0x1f, 0x8a, 0x9a);
        case Artwork::Reports: return QColor(0x6a, 0x5a, 0xb0);
        case Artwork::DataInit: return QColor(0xc0, 0x6a, 0x1e);
        case Artwork::Summary:
        case Artwork::Reconcile: return QColor(0x8a, 0x5a, 0x2b);
        case Artwork::End: return QColor(0xb0, 0x35, 0x35);
        default: return QColor(0x3c, 0x5a, 0x80);
    }
}

// Glyphs are drawn on a 24 x 24 grid.
void Glyph(QPainter& p, Artwork kind) {
    switch (kind) {
        case Artwork::EditData:
            p.drawLine(QPointF(6, 18), QPointF(16, 8));
            p.drawLine(QPointF(14, 6), QPointF(18, 10));
            p.drawLine(QPointF(6, 18), QPointF(5, 19.5));
            break;
        case Artwork::Check: p.drawPolyline(QPolygonF({{6, 12.5}, {10.5, 17}, {18, 7}})); break;
        case Artwork::AddData:
            p.drawRect(QRectF(6, 5, 10, 14));
            p.drawLine(QPointF(16, 14), QPointF(16, 20));
            p.drawLine(QPointF(13, 17), QPointF(19, 17));
            break;
        case Artwork::Submit:
            p.drawLine(QPointF(12, 15), QPointF(12, 5));
            p.drawPolyline(QPolygonF({{8, 9}, {12, 5}, {16, 9}}));
            p.drawPolyline(QPolygonF({{5, 14}, {5, 19}, {19, 19}, {19, 14}}));
            break;
        case Artwork::Distribute:
            p.drawEllipse(QPointF(6, 12), 1.6, 1.6);
            for (int y : {6, 12, 18}) {
                p.drawLine(QPointF(8, 12), QPointF(16, y));
                p.drawEllipse(QPointF(18, y), 1.6, 1.6);
            }
            break;
        case Artwork::Reports:
            p.drawPolyline(QPolygonF(
                {{14, 4}, {6, 4}, {6, 20}, {18, 20}, {18, 8}, {14, 4}, {14, 8}, {18, 8}}));
            for (int y : {11, 14, 17}) p.drawLine(QPointF(9, y), QPointF(15, y));
            break;
        case Artwork::DataInit:
            p.drawArc(QRectF(6, 6, 12, 12), 60 * 16, 290 * 16);
            p.drawPolyline(QPolygonF({{15, 4.5}, {15.5, 7.5}, {12.5, 8.5}}));
            break;
        case Artwork::Summary:
            p.drawLine(QPointF(5, 19), QPointF(19, 19));
            for (auto [x, h] :
                 std::array<std::pair<double, double>, 3>{{{8, 6}, {12, 11}, {16, 8}}})
                p.drawLine(QPointF(x, 17), QPointF(x, 17 - h));
            break;
        case Artwork::Reconcile:
        case Artwork::Query:
            p.drawEllipse(QPointF(10.5, 10.5), 5, 5);
            p.drawLine(QPointF(14, 14), QPointF(19, 19));
            break;
        case Artwork::End:
            p.drawArc(QRectF(6, 6, 12, 12), 120 * 16, 300 * 16);
            p.drawLine(QPointF(12, 4.5), QPointF(12, 11));
            break;
        case Artwork::First:
            p.drawLine(QPointF(7, 6), QPointF(7, 18));
            p.drawPolyline(QPolygonF({{17, 6}, {10, 12}, {17, 18}}));
            break;
        case Artwork::Previous: p.drawPolyline(QPolygonF({{15, 6}, {8, 12}, {15, 18}})); break;
        case Artwork::Next: p.drawPolyline(QPolygonF({{9, 6}, {16, 12}, {9, 18}})); break;
        case Artwork::Last:
            p.drawLine(QPointF(17, 6), QPointF(17, 18));
            p.drawPolyline(QPolygonF({{7, 6}, {14, 12}, {7, 18}}));
            break;
    }
}

bool IsNavigation(Artwork kind) {
    return kind == Artwork::First || kind == Artwork::Previous || kind == Artwork::Next ||
           kind == Artwork::Last;
}

}  // namespace

QPixmap Icon(Artwork kind, int size, qreal device_pixel_ratio) {
    QPixmap pixmap(QSize(size, size) * device_pixel_ratio);
    pixmap.setDevicePixelRatio(device_pixel_ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    QPen pen(IsNavigation(kind) ? QColor(0x2b, 0x3f, 0x58) : QColor(Qt::white), 2.2);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (!IsNavigation(kind)) {
        QLinearGradient fill(0, 0, 0, 24);
        fill.setColorAt(0, TileColour(kind).lighter(125));
        fill.setColorAt(1, TileColour(kind));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 5, 5);
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    Glyph(p, kind);
    return pixmap;
}

void PaintBackground(QPainter& p, const QRect& area) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(0xe9, 0xf1, 0xf9));
    sky.setColorAt(1, QColor(0xc4, 0xd7, 0xea));
    p.fillRect(area, sky);
    // Orbits around a point right of centre: the survey's science motif.
    const QPointF centre(area.left() + area.width() * 0.62, area.top() + area.height() * 0.48);
    const double r = std::min(area.width(), area.height()) * 0.42;
    QRadialGradient glow(centre, r);
    glow.setColorAt(0, QColor(255, 255, 255, 150));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, r, r);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(-25 + i * 60);
        p.setPen(QPen(QColor(0x5a, 0x80, 0xa8, 70), 1.5));
        p.drawEllipse(QPointF(0, 0), r, r * 0.36);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3c, 0x6e, 0xa0, 120));
        p.drawEllipse(QPointF(r, 0), 4, 4);
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x5f, 0x95, 110));
    p.drawEllipse(centre, r * 0.07, r * 0.07);
}

}  // namespace zorbix::screen

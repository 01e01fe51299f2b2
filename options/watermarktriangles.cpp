#include "watermarkshapes.h"

#include <klitestyle.h>

#include <QPainterPath>
#include <QtMath>

namespace {

// The part of a side, in 0..0.5 of its length from each end, kept outside the band.
// Never negative, so a band taller than the side removes it instead of overshooting.
qreal gapFraction(qreal side, qreal band)
{
    return qMax<qreal>(0, (side - band) * 0.5 / side);
}

void addSegment(QPainterPath &path, const QPointF &from, const QPointF &to)
{
    if (from == to)
        return;
    path.moveTo(from);
    path.lineTo(to);
}

// A triangle whose two sides are interrupted where the text band crosses them.
struct GappedTriangle
{
    QPointF apex;
    QPointF baseLeft;
    QPointF baseRight;
    QPointF upperLeft; // gap ends nearest the apex
    QPointF upperRight;
    QPointF lowerLeft; // gap ends nearest the base
    QPointF lowerRight;
};

QPainterPath gappedSides(const GappedTriangle &t)
{
    QPainterPath path;
    if (t.upperLeft.y() > t.apex.y()) {
        addSegment(path, t.upperLeft, t.apex);
        addSegment(path, t.apex, t.upperRight);
    }
    if (t.lowerLeft.y() < t.baseLeft.y()) {
        addSegment(path, t.lowerLeft, t.baseLeft);
        addSegment(path, t.baseRight, t.lowerRight);
    }
    return path;
}

GappedTriangle outerTriangle(const QRectF &frame, qreal inset, qreal band)
{
    const qreal wt = frame.width() - inset;
    const qreal ht = frame.height();
    const qreal f = gapFraction(ht, band);
    const qreal dx = f * wt * 0.5;
    const qreal dy = f * ht;
    GappedTriangle t;
    t.baseLeft = QPointF(frame.left() + inset, frame.bottom());
    t.baseRight = QPointF(t.baseLeft.x() + wt, frame.bottom());
    t.apex = QPointF(t.baseLeft.x() + wt / 2, frame.top());
    t.upperLeft = QPointF(t.apex.x() - dx, t.apex.y() + dy);
    t.upperRight = QPointF(t.apex.x() + dx, t.apex.y() + dy);
    t.lowerLeft = QPointF(t.baseLeft.x() + dx, frame.bottom() - dy);
    t.lowerRight = QPointF(t.baseRight.x() - dx, frame.bottom() - dy);
    return t;
}

// The triangle parallel to the outer one at distance s inside it, with the same band.
GappedTriangle innerTriangle(const GappedTriangle &outer, qreal s)
{
    const qreal wt = outer.baseRight.x() - outer.baseLeft.x();
    const qreal ht = outer.baseLeft.y() - outer.apex.y();
    const qreal alpha = std::atan(2 * ht / wt);
    const qreal beta = std::atan((wt / 2) / ht);
    const qreal d = s / std::tan(alpha / 2);
    GappedTriangle t;
    t.baseLeft = QPointF(outer.baseLeft.x() + d, outer.baseLeft.y() - s);
    t.baseRight = QPointF(outer.baseRight.x() - d, outer.baseRight.y() - s);
    t.apex = QPointF(outer.apex.x(), outer.apex.y() + (ht - s) - (wt / 2 - d) * std::tan(alpha));
    const QPointF shift(std::tan(beta) * (t.apex.y() - outer.apex.y()), 0);
    t.upperLeft = outer.upperLeft + shift;
    t.upperRight = outer.upperRight - shift;
    t.lowerLeft = outer.lowerLeft + shift;
    t.lowerRight = outer.lowerRight - shift;
    return t;
}

void drawSmallTriangle(QPainter &painter, const QPointF &apex, qreal base, qreal height)
{
    const QPointF left(apex.x() - base / 2, apex.y() + height);
    const QPointF right(apex.x() + base / 2, apex.y() + height);
    painter.drawLine(left, right);
    painter.drawLine(left, apex);
    painter.drawLine(apex, right);
}

void drawTriangleOrnaments(QPainter &painter, const GappedTriangle &t, qreal u)
{
    painter.setPen(stampPen(painter, 0.6 * u));
    const QPointF bl = t.baseLeft;
    drawSmallTriangle(painter, QPointF(bl.x() - 6 * u, bl.y() - 23 * u), 7 * u, 8 * u);
    drawSmallTriangle(painter, QPointF(t.apex.x() + 21 * u, t.apex.y() + 8 * u), 7 * u, 8 * u);
    drawSmallTriangle(painter, QPointF(bl.x(), bl.y() - 14 * u), 4.6 * u, 5.2 * u);
}

void drawLeafOrnament(QPainter &painter, const QPointF &bl, qreal u)
{
    const auto at = [&](qreal right, qreal up) {
        return QPointF(int(bl.x() + right * u), int(bl.y() - up * u));
    };
    QPainterPath path;
    path.addPolygon(QPolygonF({at(3, 35), at(10, 28), at(7, 38), at(3, 35)}));
    path.addPolygon(QPolygonF({at(2, 29), at(3, 31), at(7, 28), at(2, 29)}));
    painter.setPen(stampPen(painter, 0.56 * u));
    painter.drawPath(path);
}

} // namespace

void drawRightTriangleStamp(QPainter &painter, const WatermarkTextLayout &layout)
{
    const QRectF &frame = layout.frame;
    const qreal u = frame.width() / 82;
    painter.setPen(stampPen(painter, 0.9 * u));
    drawStampText(painter, layout);

    const QPointF bl(frame.left(), frame.bottom());
    const QPointF br(frame.left() + frame.width(), frame.bottom());
    const QPointF tr(br.x(), frame.top() + 2 * u);
    const qreal hh = frame.height() - 2 * u;
    const qreal f = gapFraction(hh, textBand(layout));

    QPainterPath baseAndRight;
    addSegment(baseAndRight, bl, br);
    baseAndRight.lineTo(br.x(), frame.bottom() - f * hh);
    addSegment(baseAndRight, QPointF(br.x(), tr.y() + f * hh), tr);
    painter.drawPath(baseAndRight);

    painter.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath hypotenuse;
    addSegment(hypotenuse, tr, QPointF(tr.x() - f * frame.width(), tr.y() + f * hh));
    addSegment(hypotenuse, QPointF(bl.x() + f * frame.width(), frame.bottom() - f * hh), bl);
    painter.drawPath(hypotenuse);

    drawLeafOrnament(painter, bl, u);
}

void drawIsoscelesTriangleStamp(QPainter &painter, const WatermarkTextLayout &layout)
{
    const QRectF &frame = layout.frame;
    const qreal u = frame.width() / 90;
    painter.setPen(stampPen(painter, KVYXStyle::dpiScaled(u)));
    drawStampText(painter, layout);

    const GappedTriangle outer = outerTriangle(frame, 10 * u, textBand(layout));
    const GappedTriangle inner = innerTriangle(outer, 5 * u);
    painter.drawLine(outer.baseLeft, outer.baseRight);
    painter.drawLine(inner.baseLeft, inner.baseRight);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawPath(gappedSides(outer));
    painter.drawPath(gappedSides(inner));
    drawTriangleOrnaments(painter, outer, u);
    painter.restore();
}

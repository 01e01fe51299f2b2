#include "watermarkshapes.h"

#include <QPainterPath>
#include <QtMath>

namespace {

// A circle of radius q about centre c, open where the band of half height h crosses it.
QPainterPath openRing(const QPointF &c, qreal q, qreal h)
{
    QPainterPath path;
    if (h >= q)
        return path; // the band covers the whole ring
    const qreal a = qRadiansToDegrees(std::asin(h / q));
    const QRectF box(c.x() - q, c.y() - q, 2 * q, 2 * q);
    path.arcMoveTo(box, a);
    path.arcTo(box, a, 180 - 2 * a);
    path.arcMoveTo(box, a + 180);
    path.arcTo(box, a + 180, 180 - 2 * a);
    return path;
}

void drawOpenEllipse(QPainter &painter, const QRect &box, qreal radians)
{
    const qreal a = qRadiansToDegrees(radians);
    const int span = int((180 - 2 * a) * 16);
    painter.drawArc(box, int(a * 16), span);
    painter.drawArc(box, int((a + 180) * 16), span);
}

int roundUpToEven(int value)
{
    return value % 2 ? value + 1 : value;
}

struct RoundedFrame
{
    int radius;
    int pen;
    qreal band;
    bool smoothCorners;
};

void drawOpenRoundedRect(QPainter &painter, const QRect &o, const RoundedFrame &f)
{
    const int inset = f.radius + f.pen;
    painter.drawLine(o.left() + inset, o.top(), o.right() - inset, o.top());
    painter.drawLine(o.left() + inset, o.bottom(), o.right() - inset, o.bottom());
    const int g = int((o.height() - f.band) * 0.5);
    if (g > inset) {
        for (const int x : {o.left(), o.right()}) {
            painter.drawLine(x, o.top() + inset, x, o.top() + g);
            painter.drawLine(x, o.bottom() - g, x, o.bottom() - inset);
        }
    }
    painter.save();
    if (f.smoothCorners)
        painter.setRenderHint(QPainter::Antialiasing, true);
    const int d = 2 * f.radius;
    painter.drawArc(QRect(o.left(), o.top(), d, d), 90 * 16, 90 * 16);
    painter.drawArc(QRect(o.left(), o.bottom() - d, d, d), 180 * 16, 90 * 16);
    painter.drawArc(QRect(o.right() - d, o.bottom() - d, d, d), 270 * 16, 90 * 16);
    painter.drawArc(QRect(o.right() - d, o.top(), d, d), 0, 90 * 16);
    painter.restore();
}

} // namespace

void drawStampText(QPainter &painter, const WatermarkTextLayout &layout)
{
    painter.setFont(layout.font);
    painter.drawText(layout.textRect, int(layout.alignment), layout.text);
}

QPen stampPen(const QPainter &painter, qreal width, Qt::PenStyle style)
{
    QPen pen = painter.pen();
    pen.setWidthF(width);
    pen.setStyle(style);
    return pen;
}

qreal textBand(const WatermarkTextLayout &layout)
{
    const qreal band = layout.textRect.height() + 20;
    return band > layout.frame.height() ? layout.textRect.height() : band;
}

void drawWatermarkShape(QPainter &painter, int style, const WatermarkTextLayout &layout)
{
    switch (style) {
    case WatermarkStyleText:
        drawTextOnlyStamp(painter, layout);
        break;
    case WatermarkStyleRightTriangle:
        drawRightTriangleStamp(painter, layout);
        break;
    case WatermarkStyleIsoscelesTriangle:
        drawIsoscelesTriangleStamp(painter, layout);
        break;
    case WatermarkStyleRectangle:
        drawRectangleStamp(painter, layout);
        break;
    case WatermarkStyleCircle:
        drawCircleStamp(painter, layout);
        break;
    case WatermarkStyleEllipse:
        drawEllipseStamp(painter, layout);
        break;
    default:
        break;
    }
}

void drawTextOnlyStamp(QPainter &painter, const WatermarkTextLayout &layout)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawStampText(painter, layout);
    painter.restore();
}

void drawCircleStamp(QPainter &painter, const WatermarkTextLayout &layout)
{
    const QRectF &frame = layout.frame;
    const qreal u = frame.width() / 70;
    const qreal d = 44 * u;
    const qreal r = d / 2;
    const QPointF c(frame.left() + (frame.width() - d) * 0.43 + r,
                    frame.top() + (frame.height() - d) * 0.5 + r);
    const qreal h = (layout.textRect.height() + 20) * 0.5;

    painter.setPen(stampPen(painter, u));
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawStampText(painter, layout);
    painter.setRenderHint(QPainter::Antialiasing, true);

    painter.drawPath(openRing(c, r, h));
    QPainterPath innerRings = openRing(c, r - 3 * u, h);
    innerRings.addPath(openRing(c, r - 5 * u, h));
    painter.setPen(stampPen(painter, int(0.8 * u)));
    painter.drawPath(innerRings);

    painter.setPen(stampPen(painter, int(0.6 * u)));
    painter.drawEllipse(QPointF(c.x() - 33 * u, c.y() + r - 2.5 * u), 2.5 * u, 2.5 * u);
    painter.drawEllipse(QPointF(c.x() + 26 * u, c.y() - r + 2.5 * u), 2.5 * u, 2.5 * u);
    painter.drawEllipse(QPointF(c.x() + 37 * u, c.y() - 13 * u), 1.5 * u, 1.5 * u);
}

void drawEllipseStamp(QPainter &painter, const WatermarkTextLayout &layout)
{
    const QRectF &frame = layout.frame;
    const qreal u = frame.width() / 56;
    const qreal band = layout.textRect.height() + 20;

    painter.setPen(stampPen(painter, 0.8 * u, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawStampText(painter, layout);
    painter.setRenderHint(QPainter::Antialiasing, true);

    QRect box(int(frame.left()), int(frame.top()), int(frame.width()), int(frame.height()));
    drawOpenEllipse(painter, box, std::atan(band / frame.width()));
    painter.setPen(stampPen(painter, 0.6 * u, Qt::DotLine));
    const int k = int(3 * u);
    box.adjust(k, k, -k, -k);
    drawOpenEllipse(painter, box, std::atan(band / (frame.width() - 2 * k)));
}

void drawRectangleStamp(QPainter &painter, const WatermarkTextLayout &layout)
{
    const QRectF &frame = layout.frame;
    const qreal u = frame.width() / 60;
    const int pen = u <= 1.5 ? 1 : roundUpToEven(int(u));

    painter.setPen(stampPen(painter, pen));
    painter.setBrush(Qt::NoBrush);
    drawStampText(painter, layout);

    const RoundedFrame style{int(6 * u), pen, textBand(layout), u > 1.5};
    const QRect outer(int(frame.left()), int(frame.top()), int(frame.width()), int(frame.height()));
    drawOpenRoundedRect(painter, outer, style);
    const int k = int(3 * u);
    drawOpenRoundedRect(painter, outer.adjusted(k, k, -k, -k), style);
}

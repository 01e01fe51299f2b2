#include "simplewatermark.h"

#include "rastertiles.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>
#include <algorithm>

namespace ksimplewatermark {

namespace {

// Keeps very short texts from measuring as almost nothing.
const QString kWidthSample = QStringLiteral("MM");

// Fits the font so the text is as large as the picture allows.
QFont fittedFont(const QString &text, const QString &family, const QSize &size, QPaintDevice *device)
{
    QFont font(family);
    int pointSize = 120;
    for (int i = 0; i < 3; ++i) {
        font.setPointSize(std::max(1, pointSize));
        QFontMetricsF metrics(font, device);
        const qreal w = std::max(metrics.horizontalAdvance(text), metrics.horizontalAdvance(kWidthSample));
        const qreal h = metrics.height();
        if (w <= 0 || h <= 0)
            break;
        pointSize = int(std::min(pointSize * size.height() / h, pointSize * size.width() / w));
    }
    if (text.size() == 1)
        pointSize = int(pointSize * 0.8);
    font.setPointSize(std::max(1, pointSize));
    return font;
}

void drawRotated(QPainter &painter, const QRectF &rect, const QString &text, int angle)
{
    painter.save();
    if (angle != 0) {
        const QPointF centre = rect.center();
        painter.translate(centre);
        painter.rotate(-angle);
        painter.translate(-centre);
    }
    painter.drawText(rect, Qt::AlignCenter, text);
    painter.restore();
}

} // namespace

int angleFor(const QSize &size, bool rotate)
{
    const int hw = size.width() / 2;
    const int hh = size.height() / 2;
    if (!rotate || size.height() <= hw)
        return 0;
    if (hh <= hw)
        return int(qAtan2(hh, hw) * 0.9 * 180 / 3.14159);
    return 45;
}

void paint(QImage &image, const QString &text, const QString &fontFamily, bool rotate, Form form)
{
    if (image.isNull() || text.isEmpty())
        return;
    const int W = image.width();
    const int H = image.height();
    const int hw = W / 2;
    const int hh = H / 2;
    const QFont font = fittedFont(text, fontFamily, image.size(), &image);
    const int angle = angleFor(image.size(), rotate);
    const int band = 2 * std::min(hw, hh);
    krastertiles::paintInTiles(image, [&](QPainter &painter, const QRect &tile) {
        painter.setPen(QColor(0, 0, 0, 20));
        painter.setFont(font);
        if (form == Form::Single) {
            drawRotated(painter, QRectF(0, 0, W, H), text, angle);
            return true;
        }
        if (band <= 0)
            return true;
        const int bands = H / band;
        for (int i = 0, y = 0; i < bands && y <= H; ++i, y += band) {
            // A slanted text reaches past its band by at most the band's width.
            if (QRect(0, y - 2 * hw, 2 * hw, band + 4 * hw).intersects(tile))
                drawRotated(painter, QRectF(0, y, 2 * hw, band), text, angle);
        }
        return true;
    });
}

} // namespace ksimplewatermark

#include "rastertiles.h"

#include <QPainter>

namespace krastertiles {

namespace {

QImage viewOf(QImage &image, const QRect &tile)
{
    const int bytesPerPixel = image.depth() / 8;
    uchar *origin = image.bits() + qsizetype(tile.y()) * image.bytesPerLine() + qsizetype(tile.x()) * bytesPerPixel;
    QImage view(origin, tile.width(), tile.height(), image.bytesPerLine(), image.format());
    view.setDotsPerMeterX(image.dotsPerMeterX());
    view.setDotsPerMeterY(image.dotsPerMeterY());
    return view;
}

} // namespace

bool forEachTile(QImage &image, const std::function<bool(QImage &, const QRect &)> &visit, int maxSide)
{
    if (image.isNull())
        return true;
    if (maxSide < 1)
        maxSide = kMaxPaintSide;
    if (image.width() <= maxSide && image.height() <= maxSide)
        return visit(image, image.rect());
    // Tiles must start on whole bytes; every format an export paints on has 8 bits or more.
    if (image.depth() < 8)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); y += maxSide) {
        for (int x = 0; x < image.width(); x += maxSide) {
            const QRect tile(x, y, std::min(maxSide, image.width() - x), std::min(maxSide, image.height() - y));
            QImage view = viewOf(image, tile);
            if (!visit(view, tile))
                return false;
        }
    }
    return true;
}

void aimAtTile(QPainter &painter, const QRect &tile)
{
    painter.setClipRect(QRect(QPoint(0, 0), tile.size()));
    painter.translate(-tile.x(), -tile.y());
}

bool paintInTiles(QImage &image, const std::function<bool(QPainter &, const QRect &)> &paint, int maxSide)
{
    return forEachTile(image, [&paint](QImage &view, const QRect &tile) {
        QPainter painter(&view);
        if (!painter.isActive())
            return false;
        aimAtTile(painter, tile);
        return paint(painter, tile);
    }, maxSide);
}

} // namespace krastertiles

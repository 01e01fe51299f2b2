#include "watermarkpainter.h"

#include "watermarklayout.h"
#include "watermarkshapes.h"
#include "rastertiles.h"

#include <QPainter>
#include <QTransform>

#include <cmath>

namespace {

bool isTextStyle(int style)
{
    return style >= WatermarkStyleText && style <= WatermarkStyleEllipse;
}

// Room each shape needs around the text box, in 1/272 of the box width:
// left, top (= bottom), right.
QMarginsF frameMargins(int style, qreal unit)
{
    switch (style) {
    case WatermarkStyleRightTriangle:
        return QMarginsF(32, 45, 32, 45) * unit;
    case WatermarkStyleIsoscelesTriangle:
        return QMarginsF(76, 77, 38, 77) * unit;
    case WatermarkStyleRectangle:
        return QMarginsF(0, 55, 0, 55) * unit;
    case WatermarkStyleCircle:
        return QMarginsF(26, 70, 38, 70) * unit;
    case WatermarkStyleEllipse:
        return QMarginsF(7, 77, 7, 77) * unit;
    default:
        return QMarginsF(32, 48, 32, 48) * unit;
    }
}

QSizeF tileSize(const WatermarkSetting &setting)
{
    const QSize box = watermarkTextSize(setting.size(), setting.scale());
    const QMarginsF margins = frameMargins(setting.style(), box.width() / 272.0);
    return QSizeF(box.width() + margins.left() + margins.right(),
                  box.height() + margins.top() + margins.bottom());
}

int cellPadding(const WatermarkSetting &setting)
{
    return 40 * qMax(1, setting.scale());
}

// QPainter cannot open one-bit or indexed pictures; the stamp would silently be missing.
void makePaintable(QImage &image)
{
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                               : QImage::Format_RGB32);
        break;
    default:
        break;
    }
}

QImage renderCell(const WatermarkSetting &setting)
{
    const QSize size = watermarkCellSize(setting);
    const QSizeF tile = tileSize(setting);
    // Premultiplied: Qt writes glyphs into a plain ARGB32 picture with premultiplied colour
    // values, which darkens the text against the shapes.
    QImage cell(size, QImage::Format_ARGB32_Premultiplied);
    cell.fill(0);
    const QRectF frame((size.width() - tile.width()) * 0.5, (size.height() - tile.height()) * 0.5,
                       tile.width(), tile.height());
    drawWatermarkCell(setting, cell, frame);
    return cell;
}

// The grid overhangs both edges equally so the pattern stays centred on the picture.
void tileCells(QPainter &painter, const QSize &target, const QRect &tile, const QImage &cell)
{
    const int cw = cell.width();
    const int ch = cell.height();
    const int cols = (target.width() - 1 + cw) / cw;
    const int rows = (target.height() - 1 + ch) / ch;
    const int offX = int((target.width() - cols * cw) * 0.5);
    const int offY = int((target.height() - rows * ch) * 0.5);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QRect at(QPoint(offX + c * cw, offY + r * ch), cell.size());
            if (at.intersects(tile))
                painter.drawImage(at.topLeft(), cell);
        }
    }
}

void paintTextStamp(QImage &image, const WatermarkSetting &setting)
{
    const QImage cell = renderCell(setting);
    makePaintable(image);
    const QSize size = image.size();
    krastertiles::paintInTiles(image, [&](QPainter &painter, const QRect &tile) {
        if (setting.policy() == WatermarkPolicyTile) {
            tileCells(painter, size, tile, cell);
        } else {
            const QRectF target((size.width() - cell.width()) * 0.5, (size.height() - cell.height()) * 0.5,
                                cell.width(), cell.height());
            painter.drawImage(target, cell, QRectF(cell.rect()));
        }
        return true;
    });
}

// Only every second row carries pictures, so a page does not look papered over.
void tilePictures(QPainter &painter, const QSize &target, const QRect &tile, const QImage &picture)
{
    const int w = picture.width();
    const int h = picture.height();
    const int cols = target.width() / w;
    const int gapX = (target.width() % w) / (cols + 1);
    const int rows = target.height() / h;
    const int gapY = (target.height() % h) / (rows + 1);
    for (int i = 0; i < rows; i += 2) {
        const int y = gapY * (i + 1) + i * h;
        if (y > target.height())
            break;
        for (int j = 0; j < cols; ++j) {
            const QRect at(QPoint(gapX * (j + 1) + j * w, y), picture.size());
            if (at.intersects(tile))
                painter.drawImage(at, picture);
        }
    }
}

void paintPictureStamp(QImage &image, const WatermarkSetting &setting)
{
    const QImage picture = setting.picture();
    if (picture.isNull() || image.width() < picture.width() || image.height() < picture.height())
        return;
    makePaintable(image);
    const QSize size = image.size();
    krastertiles::paintInTiles(image, [&](QPainter &painter, const QRect &tile) {
        if (setting.policy() == WatermarkPolicyTile) {
            tilePictures(painter, size, tile, picture);
        } else {
            const QPoint at((size.width() - picture.width()) / 2, (size.height() - picture.height()) / 2);
            painter.drawImage(QRect(at, picture.size()), picture);
        }
        return true;
    });
}

} // namespace

QSize watermarkCellSize(const WatermarkSetting &setting)
{
    QRectF bounds(QPointF(0, 0), tileSize(setting));
    if (setting.rotate() > 0)
        bounds = QTransform().rotate(setting.rotate()).mapRect(bounds);
    const int padding = cellPadding(setting);
    return QSize(padding + int(bounds.width()), int(bounds.height()) + padding);
}

QColor watermarkStampColor(const WatermarkSetting &setting)
{
    QColor color = setting.color().isValid() ? setting.color() : QColor(0x222226);
    // Out-of-range values would make QColor keep the colour's own alpha; NaN has no alpha.
    const double opacity =
        std::isnan(setting.opacity()) ? 1.0 : qBound(0.0, setting.opacity(), 1.0);
    color.setAlpha(int(opacity * 255));
    return color;
}

void drawWatermarkCell(const WatermarkSetting &setting, QImage &cell, const QRectF &frame)
{
    if (cell.isNull())
        return;
    QPainter painter(&cell);
    if (!painter.isActive())
        return;
    painter.save();
    painter.setPen(watermarkStampColor(setting));
    if (setting.rotate() > 0) {
        const QPointF centre = frame.center();
        QTransform transform;
        transform.translate(centre.x(), centre.y());
        transform.rotate(setting.rotate());
        transform.translate(-centre.x(), -centre.y());
        painter.setTransform(transform);
        painter.setRenderHint(QPainter::Antialiasing, true);
    }
    drawWatermarkShape(painter, setting.style(), layoutWatermarkText(setting, frame));
    painter.resetTransform();
    painter.restore();
}

void paintWatermark(QImage &image, const WatermarkSetting *setting)
{
    if (!setting || image.isNull())
        return;
    const int style = setting->style();
    if (style == WatermarkStylePicture)
        paintPictureStamp(image, *setting);
    else if (isTextStyle(style))
        paintTextStamp(image, *setting);
}

#include "pageimage.h"

#include "picturewriter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace kpageimage {

QImage opaqueOnWhite(const QImage &image)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = line[x];
            const int white = 255 - qAlpha(p);
            line[x] = qRgb(qRed(p) + white, qGreen(p) + white, qBlue(p) + white);
        }
    }
    return result.reinterpretAsFormat(QImage::Format_RGB32) ? result : QImage();
}

QRect contentBounds(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    int top = -1;
    int bottom = -1;
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int x = 0;
        while (x < image.width() && !isNonWhite(line[x]))
            ++x;
        if (x == image.width())
            continue;
        int end = image.width() - 1;
        while (end > x && end > right && !isNonWhite(line[end]))
            --end;
        if (top < 0)
            top = y;
        bottom = y;
        left = std::min(left, x);
        right = std::max(right, end);
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QImage croppedToContent(const QImage &image)
{
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    const QRect content = contentBounds(opaque);
    if (content.isEmpty())
        return opaque.copy(0, 0, std::min(1, opaque.width()), std::min(1, opaque.height()));
    return opaque.copy(content);
}

QImage whitePicture(const QSize &size)
{
    if (!kpicture::canAllocate(size))
        return QImage();
    QImage picture(size, QImage::Format_RGB32);
    if (!picture.isNull())
        picture.fill(0xffffffffu);
    return picture;
}

void copyInto(QImage &target, const QPoint &at, const QImage &source, const QRect &part)
{
    QRect from = part.intersected(source.rect());
    QRect to(at, from.size());
    const QRect clipped = to.intersected(target.rect());
    from.adjust(clipped.left() - to.left(), clipped.top() - to.top(), clipped.right() - to.right(),
                clipped.bottom() - to.bottom());
    if (clipped.isEmpty())
        return;
    const size_t bytes = size_t(clipped.width()) * 4;
    for (int row = 0; row < clipped.height(); ++row) {
        const uchar *src = source.constScanLine(from.top() + row) + qsizetype(from.left()) * 4;
        uchar *dst = target.scanLine(clipped.top() + row) + qsizetype(clipped.left()) * 4;
        std::memcpy(dst, src, bytes);
    }
}

void fillWhite(QImage &target, const QRect &rect)
{
    const QRect area = rect.intersected(target.rect());
    const size_t bytes = size_t(area.width()) * 4;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memset(target.scanLine(y) + qsizetype(area.left()) * 4, 0xff, bytes);
}

QImage padded(const QImage &source, const QRect &part, const QMargins &bands)
{
    const QRect from = part.intersected(source.rect());
    const qint64 width = qint64(part.width()) + bands.left() + bands.right();
    const qint64 height = qint64(std::max(0, part.height())) + bands.top() + bands.bottom();
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return QImage();
    QImage result = whitePicture(QSize(int(width), int(height)));
    if (!result.isNull() && !from.isEmpty())
        copyInto(result, QPoint(bands.left() + from.left() - part.left(), bands.top() + from.top() - part.top()),
                 opaqueOnWhite(source), from);
    return result;
}

int measureScreenDpi()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return 96;
    QPixmap pixmap(1, 1);
    QPainter painter(&pixmap);
    const int dpi = painter.device() ? painter.device()->physicalDpiX() : 0;
    return dpi > 0 ? dpi : 96;
}

QString pageSizeProblem(const QSizeF &pixels, int percent)
{
    const double most = kMaxPageSide;
    if (!(pixels.width() <= most && pixels.height() <= most)) {
        return QCoreApplication::translate("KExportImageTask",
                                           "is too large to render at %1 % (%2 x %3 pixels; at most %4 a side)")
            .arg(percent)
            .arg(qint64(std::ceil(pixels.width())))
            .arg(qint64(std::ceil(pixels.height())))
            .arg(kMaxPageSide);
    }
    const QSize size(int(std::ceil(pixels.width())), int(std::ceil(pixels.height())));
    if (!size.isEmpty() && !kpicture::canAllocate(size))
        return QCoreApplication::translate("KExportImageTask", "needs more memory than this machine has");
    return QString();
}

} // namespace kpageimage

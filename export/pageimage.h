#pragma once

#include <QImage>
#include <QRect>

// Pixel work on page pictures that must reach every row and column, also past the 32767
// rows a QPainter can address: plain copies of scan lines instead of painting.
namespace kpageimage {

// Any of red, green, blue below 250.
inline bool isNonWhite(QRgb p)
{
    return qRed(p) < 250 || qGreen(p) < 250 || qBlue(p) < 250;
}

// The picture as opaque 32-bit RGB; transparent pixels are laid over white.
QImage opaqueOnWhite(const QImage &image);

// A white opaque picture of the size, or null when it cannot be had.
QImage whitePicture(const QSize &size);

// Copies the part of an opaque 32-bit source to the point of an opaque 32-bit target,
// clipped to both pictures.
void copyInto(QImage &target, const QPoint &at, const QImage &source, const QRect &part);

void fillWhite(QImage &target, const QRect &rect);

// The part of the source (its size even where it lies outside) on white with bands of the
// given widths around it; null when the result cannot be allocated.
QImage padded(const QImage &source, const QRect &part, const QMargins &bands);

// The smallest rectangle holding every non-white pixel; empty for a white picture.
QRect contentBounds(const QImage &image);

// The picture cut to its content; a white picture keeps its top-left pixel.
QImage croppedToContent(const QImage &image);

// Whole multiples of 96 dots per inch, at least 1: bands and gaps given in pixels at
// 100 % grow with it.
inline int bandScale(int dpi)
{
    return dpi > 96 ? dpi / 96 : 1;
}

// A renderer's zoom for the export's resolution on a screen of screenDpi; 1 when unset.
inline float zoomFor(int dpi, int screenDpi)
{
    return dpi >= 1 ? float(dpi) / screenDpi : 1.0f;
}

// The screen's horizontal resolution, read from a painter on a 1 x 1 pixmap; call on the
// interface thread. 96 where no screen exists.
int measureScreenDpi();

// The largest side a page picture may have: what a painter can still address.
constexpr int kMaxPageSide = 32767;

// Why a page of this many pixels (at percent of 96 dpi) cannot be rendered, or empty.
QString pageSizeProblem(const QSizeF &pixels, int percent);

} // namespace kpageimage

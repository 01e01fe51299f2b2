#pragma once

#include <QImage>
#include <QIODevice>
#include <QString>

// A PNG encoder for opaque 32-bit pictures, the kind every export writes. It uses one fixed
// row filter and a light compression level, and stores pictures without colour as 8-bit
// grey; both are lossless, and several times faster than trying every filter per row.
namespace kpngencoder {

// Whether encode() takes this picture (opaque 32-bit); others go through Qt's writer.
bool accepts(const QImage &image);
bool isGrey(const QImage &image);
bool encode(const QImage &image, QIODevice *device, QString *error);

} // namespace kpngencoder

#pragma once

#include <QImage>
#include <QIODevice>
#include <QString>

#include <functional>

// A JPEG encoder for opaque 32-bit pictures, fed the rendered rows as they are: no image
// plug-in to load and no row converted first. Baseline, quality 75, the resolution in the
// JFIF header, as Qt's own writer makes them.
namespace kjpegencoder {

constexpr int kQuality = 75;

// Whether encode() takes this picture (opaque 32-bit); others go through Qt's writer.
bool accepts(const QImage &image);
// stop is asked every few rows; once it answers true the encoding gives up (false, error
// "cancelled"), having written only part of the stream to the device.
using Stop = std::function<bool()>;
bool encode(const QImage &image, QIODevice *device, QString *error, const Stop &stop = Stop());

} // namespace kjpegencoder

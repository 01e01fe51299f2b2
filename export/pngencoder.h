#pragma once

#include <QImage>
#include <QIODevice>
#include <QString>

#include <functional>

// A PNG encoder for opaque 32-bit pictures, the kind every export writes. It uses one fixed
// row filter and a light compression level, and stores pictures without colour as 8-bit
// grey; both are lossless, and several times faster than trying every filter per row.
namespace kpngencoder {

// Whether encode() takes this picture (opaque 32-bit); others go through Qt's writer.
bool accepts(const QImage &image);
bool isGrey(const QImage &image);
// parts: 1 writes through libpng on this thread; more deflate the rows in that many
// independent pieces on as many threads, joined into one stream (the same pixels and
// chunks); 0 picks from the picture's size and the cores. stop is asked every few rows;
// once it answers true the encoding gives up (false, error "cancelled").
using Stop = std::function<bool()>;
bool encode(const QImage &image, QIODevice *device, QString *error, int parts = 0, const Stop &stop = Stop());
// How many pieces a picture of this size is deflated in when left to the encoder.
int partsFor(const QSize &size, bool grey);

} // namespace kpngencoder

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Encoding and writing of exported pictures.
namespace kpicture {

// Largest side a JPEG file can describe.
constexpr int kJpegMaxSide = 65535;
// Largest side the PNG library accepts by default, reading or writing.
constexpr int kPngMaxSide = 1000000;

// Qt's writer format for a picture suffix ("jpg", "jpeg", "png", "bmp", "tif", "tiff",
// any case), or empty for anything else.
QByteArray formatForSuffix(const QString &suffix);

// Why a picture of this size cannot be encoded in the format, or empty when it can.
QString sizeProblem(const QSize &size, const QByteArray &format);

// Whether a 32-bit picture of this size fits in this machine's memory. Beyond that an
// allocation may seem to succeed and the process be killed once the pixels are touched.
bool canAllocate(const QSize &size);

// Writes the picture with its resolution in the metadata. The file appears only once it
// is complete: a failed write leaves whatever was at the path before untouched.
// The image's own resolution fields are set (no pixel copy when it is not shared).
bool writePicture(QImage &image, const QString &path, int dpi, QString *error = nullptr);

} // namespace kpicture

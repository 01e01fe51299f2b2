#pragma once

#include "kexportrules.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

// Encoding and writing of exported pictures.
namespace kpicture {

// Asked now and then while a picture is encoded, from any thread; once it answers true the
// encoding gives up, fails with the error "cancelled" and leaves no file.
using Stop = std::function<bool()>;

// Whether a 32-bit picture of this size fits in this machine's memory. Beyond that an
// allocation may seem to succeed and the process be killed once the pixels are touched.
bool canAllocate(const QSize &size);

// Writes the picture with its resolution in the metadata. The file appears only once it
// is complete: a failed write leaves whatever was at the path before untouched.
// The image's own resolution fields are set (no pixel copy when it is not shared).
bool writePicture(QImage &image, const QString &path, int dpi, QString *error = nullptr, const Stop &stop = Stop());
// The same in two steps, for pictures encoded side by side and put in place in order:
// the file's bytes in memory (on this thread alone), then the file, complete or not at all.
bool encodePicture(QImage &image, const QString &path, int dpi, QByteArray *bytes, QString *error = nullptr,
                   const Stop &stop = Stop());
bool writeBytes(const QByteArray &bytes, const QString &path, QString *error = nullptr);

// Removes the temporaries that picture writers killed outright left in the folder; those of
// writers still at work stay.
void removeAbandonedTemporaries(const QString &folder);

} // namespace kpicture

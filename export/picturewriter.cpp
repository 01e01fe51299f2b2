#include "picturewriter.h"

#include "pngencoder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QtMath>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace kpicture {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

int dotsPerMeter(int dpi)
{
    return qRound(dpi / 0.0254);
}

} // namespace

bool canAllocate(const QSize &size)
{
    if (size.isEmpty())
        return false;
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return true;
    return bytes < qint64(pages) * pageSize;
}

namespace {

// The format for the path, or empty with the reason; sets the picture's resolution.
QByteArray prepare(QImage &image, const QString &path, int dpi, QString *error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("no picture to write"));
        return QByteArray();
    }
    const QByteArray format = KExportRules::formatForSuffix(QFileInfo(path).suffix());
    if (format.isEmpty()) {
        setError(error, QCoreApplication::translate("KExportImageTask", "unknown picture format: %1").arg(path));
        return QByteArray();
    }
    const QString problem = KExportRules::sizeProblem(image.size(), format);
    if (!problem.isEmpty()) {
        setError(error, problem);
        return QByteArray();
    }
    if (dpi > 0) {
        image.setDotsPerMeterX(dotsPerMeter(dpi));
        image.setDotsPerMeterY(dotsPerMeter(dpi));
    }
    return format;
}

// parts as the PNG encoder takes them: pages encoded side by side already use every core.
bool encodeTo(QIODevice *device, const QImage &image, const QByteArray &format, QString *error, int parts)
{
    if (format == "png" && kpngencoder::accepts(image))
        return kpngencoder::encode(image, device, error, parts);
    QImageWriter writer(device, format);
    if (writer.write(image))
        return true;
    setError(error, writer.errorString());
    return false;
}

// QSaveFile::commit() does not see a failure to write out its buffer (a full disk, the
// file size limit) and would put a cut-short picture in place.
bool commit(QSaveFile &file, QString *error)
{
    if (!file.flush()) {
        const int code = errno;
        setError(error, code ? QString::fromLocal8Bit(std::strerror(code)) : file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace

bool writePicture(QImage &image, const QString &path, int dpi, QString *error)
{
    const QByteArray format = prepare(image, path, dpi, error);
    if (format.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (!encodeTo(&file, image, format, error, 0)) {
        file.cancelWriting();
        return false;
    }
    return commit(file, error);
}

bool encodePicture(QImage &image, const QString &path, int dpi, QByteArray *bytes, QString *error)
{
    const QByteArray format = prepare(image, path, dpi, error);
    if (format.isEmpty())
        return false;
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    return encodeTo(&buffer, image, format, error, 1);
}

bool writeBytes(const QByteArray &bytes, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        const int code = errno;
        setError(error, code ? QString::fromLocal8Bit(std::strerror(code)) : file.errorString());
        file.cancelWriting();
        return false;
    }
    return commit(file, error);
}

} // namespace kpicture

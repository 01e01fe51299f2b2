#include "picturewriter.h"

#include "pngencoder.h"

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

bool writePicture(QImage &image, const QString &path, int dpi, QString *error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("no picture to write"));
        return false;
    }
    const QByteArray format = KExportRules::formatForSuffix(QFileInfo(path).suffix());
    if (format.isEmpty()) {
        setError(error, QCoreApplication::translate("KExportImageTask", "unknown picture format: %1").arg(path));
        return false;
    }
    const QString problem = KExportRules::sizeProblem(image.size(), format);
    if (!problem.isEmpty()) {
        setError(error, problem);
        return false;
    }
    if (dpi > 0) {
        image.setDotsPerMeterX(dotsPerMeter(dpi));
        image.setDotsPerMeterY(dotsPerMeter(dpi));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (format == "png" && kpngencoder::accepts(image)) {
        if (!kpngencoder::encode(image, &file, error)) {
            file.cancelWriting();
            return false;
        }
    } else {
        QImageWriter writer(&file, format);
        if (!writer.write(image)) {
            setError(error, writer.errorString());
            file.cancelWriting();
            return false;
        }
    }
    // QSaveFile::commit() does not see a failure to write out its buffer (a full disk, the
    // file size limit) and would put a cut-short picture in place.
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

} // namespace kpicture

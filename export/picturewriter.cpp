#include "picturewriter.h"

#include "pngencoder.h"

#include <QBuffer>
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
        setError(error, QStringLiteral("unknown picture format: %1").arg(path));
        return QByteArray();
    }
    const QString problem = KExportRules::sizeProblem(image.size(), format);
    if (!problem.isEmpty()) {
        setError(error, problem);
        return QByteArray();
    }
    // Setting a resolution copies a picture that is shared; most already carry this one.
    if (dpi > 0 && image.dotsPerMeterX() != dotsPerMeter(dpi))
        image.setDotsPerMeterX(dotsPerMeter(dpi));
    if (dpi > 0 && image.dotsPerMeterY() != dotsPerMeter(dpi))
        image.setDotsPerMeterY(dotsPerMeter(dpi));
    return format;
}

// Passes writes and seeks on to another device until stop answers true, then fails every
// write: Qt's writers give up at their next write, a few kilobytes on.
class StoppingDevice : public QIODevice
{
public:
    StoppingDevice(QIODevice *target, const Stop &stop) : m_target(target), m_stop(stop)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        QIODevice::seek(target->pos());
    }
    bool stopped() const { return m_stopped; }
    // TIFF goes back to fill in its directory.
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && m_target->seek(pos); }
    qint64 size() const override { return m_target->size(); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_stopped || m_stop()) {
            m_stopped = true;
            return -1;
        }
        return m_target->write(data, length);
    }

private:
    QIODevice *m_target;
    const Stop &m_stop;
    bool m_stopped = false;
};

bool encodeWithQt(QIODevice *device, const QImage &image, const QByteArray &format, QString *error)
{
    QImageWriter writer(device, format);
    if (writer.write(image))
        return true;
    setError(error, writer.errorString());
    return false;
}

// parts as the PNG encoder takes them: pages encoded side by side already use every core.
bool encodeTo(QIODevice *device, const QImage &image, const QByteArray &format, QString *error, int parts,
              const Stop &stop)
{
    if (format == "png" && kpngencoder::accepts(image))
        return kpngencoder::encode(image, device, error, parts, stop);
    if (!stop)
        return encodeWithQt(device, image, format, error);
    StoppingDevice stopping(device, stop);
    const bool ok = encodeWithQt(&stopping, image, format, error);
    if (stopping.stopped()) {
        setError(error, QStringLiteral("cancelled"));
        return false; // some writers do not check every write
    }
    return ok;
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

bool writePicture(QImage &image, const QString &path, int dpi, QString *error, const Stop &stop)
{
    const QByteArray format = prepare(image, path, dpi, error);
    if (format.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (!encodeTo(&file, image, format, error, 0, stop)) {
        file.cancelWriting();
        return false;
    }
    return commit(file, error);
}

bool encodePicture(QImage &image, const QString &path, int dpi, QByteArray *bytes, QString *error, const Stop &stop)
{
    const QByteArray format = prepare(image, path, dpi, error);
    if (format.isEmpty())
        return false;
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    return encodeTo(&buffer, image, format, error, 1, stop);
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

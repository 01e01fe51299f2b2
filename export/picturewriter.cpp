#include "picturewriter.h"

#include "jpegencoder.h"
#include "pngencoder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageIOPlugin>
#include <QImageWriter>
#include <QPluginLoader>
#include <QRandomGenerator>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtMath>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kpicture {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Names no one else gives a file, so a sweep takes only what a writer of pictures left.
constexpr const char *kTemporaryMark = ".ktavro-";

// A hidden file beside the picture, locked while it is written and renamed over the picture
// once complete. The lock tells a later run's sweep that its writer still lives; a writer
// killed outright lets go of it. Removed when not committed.
class LockedTemporary
{
public:
    explicit LockedTemporary(const QString &path) : m_target(QFile::encodeName(path))
    {
        const QFileInfo info(path);
        const QString stem = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1String(kTemporaryMark);
        for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
            m_name = QFile::encodeName(stem + QString::number(QRandomGenerator::global()->generate() & 0xffffff, 36));
            // The kernel applies the umask, as for any new file.
            m_fd = ::open(m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST) {
                m_openError = errno;
                return;
            }
            struct stat info{};
            // A sweep may remove the file between its making and its locking: then anew.
            if (m_fd >= 0 && (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(m_fd, &info) != 0 || info.st_nlink == 0)) {
                ::close(m_fd);
                m_fd = -1;
            }
        }
    }
    ~LockedTemporary()
    {
        if (m_fd < 0)
            return;
        ::unlink(m_name.constData());
        ::close(m_fd);
    }
    LockedTemporary(const LockedTemporary &) = delete;
    LockedTemporary &operator=(const LockedTemporary &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why it could not be made, for the message.
    QString openError() const { return QString::fromLocal8Bit(std::strerror(m_openError ? m_openError : EEXIST)); }
    int handle() const { return m_fd; }

    // Renamed while still locked, so no sweep takes it between the two.
    bool commit(bool sync, QString *error)
    {
        if ((sync && ::fdatasync(m_fd) != 0) || ::rename(m_name.constData(), m_target.constData()) != 0) {
            setError(error, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        if (!closed)
            setError(error, QString::fromLocal8Bit(std::strerror(errno)));
        return closed;
    }

private:
    QByteArray m_target;
    QByteArray m_name;
    int m_fd = -1;
    int m_openError = 0;
};

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
    // Setting a resolution copies a picture that is shared; most already carry this one.
    if (dpi > 0 && image.dotsPerMeterX() != dotsPerMeter(dpi))
        image.setDotsPerMeterX(dotsPerMeter(dpi));
    if (dpi > 0 && image.dotsPerMeterY() != dotsPerMeter(dpi))
        image.setDotsPerMeterY(dotsPerMeter(dpi));
    return format;
}

// Passes writes and seeks on to another device until stop answers true, then fails every
// write (Qt's writers give up at their next write, a few kilobytes on) or takes it into
// nothing.
class StoppingDevice : public QIODevice
{
public:
    // swallow: once stopped, writes still succeed but go nowhere, for writers that cannot
    // take a failed write.
    StoppingDevice(QIODevice *target, const Stop &stop, bool swallow)
        : m_target(target), m_stop(stop), m_swallow(swallow)
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
            return m_swallow ? length : -1;
        }
        return m_target->write(data, length);
    }

private:
    QIODevice *m_target;
    const Stop &m_stop;
    const bool m_swallow;
    bool m_stopped = false;
};

// The plug-in that writes a format, loaded alone: asked for a format, Qt loads every
// picture plug-in in turn until one writes it. Null when there is none for the format.
std::unique_ptr<QImageIOHandler> pluginHandler(const QByteArray &format, QIODevice *device)
{
    const QString name = format == "jpg" ? QStringLiteral("libqjpeg.so")
                       : format == "tif" ? QStringLiteral("libqtiff.so")
                                         : QString();
    if (name.isEmpty())
        return nullptr;
    for (const QString &folder : QCoreApplication::libraryPaths()) {
        QPluginLoader loader(folder + QStringLiteral("/imageformats/") + name);
        auto *plugin = qobject_cast<QImageIOPlugin *>(loader.instance());
        if (!plugin || !(plugin->capabilities(device, format) & QImageIOPlugin::CanWrite))
            continue;
        std::unique_ptr<QImageIOHandler> handler(plugin->create(device, format));
        if (handler) {
            handler->setDevice(device);
            handler->setFormat(format);
        }
        return handler;
    }
    return nullptr;
}

bool encodeWithQt(QIODevice *device, const QImage &image, const QByteArray &format, QString *error)
{
    if (const std::unique_ptr<QImageIOHandler> handler = pluginHandler(format, device)) {
        if (handler->write(image))
            return true;
        setError(error, device->errorString().isEmpty() ? QStringLiteral("cannot encode the picture")
                                                         : device->errorString());
        return false;
    }
    QImageWriter writer(device, format);
    if (writer.write(image))
        return true;
    setError(error, writer.errorString());
    return false;
}

void putLittleEndian(char *to, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        to[i] = char(value >> (8 * i));
}

// Opaque pictures as 24-bit BMP, bottom row first, as Qt writes them; Qt's own writer
// would load every picture plug-in first, to ask whether one of them writes BMP.
bool encodeBmp(QIODevice *device, const QImage &image, QString *error, const Stop &stop)
{
    const qint64 rowBytes = (qint64(image.width()) * 3 + 3) & ~qint64(3);
    const qint64 fileBytes = 54 + rowBytes * image.height();
    if (fileBytes > qint64(std::numeric_limits<quint32>::max())) {
        setError(error, QStringLiteral("the picture is too large for a BMP file"));
        return false;
    }
    errno = 0;
    char head[54] = {'B', 'M'};
    putLittleEndian(head + 2, quint32(fileBytes));
    putLittleEndian(head + 10, 54);
    putLittleEndian(head + 14, 40);
    putLittleEndian(head + 18, quint32(image.width()));
    putLittleEndian(head + 22, quint32(image.height()));
    head[26] = 1;  // planes
    head[28] = 24; // bits per pixel
    putLittleEndian(head + 34, quint32(rowBytes * image.height()));
    putLittleEndian(head + 38, quint32(std::max(0, image.dotsPerMeterX())));
    putLittleEndian(head + 42, quint32(std::max(0, image.dotsPerMeterY())));
    bool ok = device->write(head, sizeof head) == qint64(sizeof head);
    std::vector<char> row(size_t(rowBytes), 0);
    for (int y = image.height() - 1; ok && y >= 0; --y) {
        if ((y & 15) == 0 && stop && stop()) {
            setError(error, QStringLiteral("cancelled"));
            return false;
        }
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0, width = image.width(); x < width; ++x) {
            row[size_t(3 * x)] = char(qBlue(line[x]));
            row[size_t(3 * x + 1)] = char(qGreen(line[x]));
            row[size_t(3 * x + 2)] = char(qRed(line[x]));
        }
        ok = device->write(row.data(), rowBytes) == rowBytes;
    }
    if (!ok)
        setError(error, errno ? QString::fromLocal8Bit(std::strerror(errno)) : device->errorString());
    return ok;
}

// parts as the PNG encoder takes them: pages encoded side by side already use every core.
bool encodeTo(QIODevice *device, const QImage &image, const QByteArray &format, QString *error, int parts,
              const Stop &stop)
{
    if (format == "png" && kpngencoder::accepts(image))
        return kpngencoder::encode(image, device, error, parts, stop);
    if (format == "jpg" && kjpegencoder::accepts(image))
        return kjpegencoder::encode(image, device, error, stop);
    if (format == "bmp" && kpngencoder::accepts(image))
        return encodeBmp(device, image, error, stop);
    if (!stop)
        return encodeWithQt(device, image, format, error);
    // Qt's PNG and JPEG writers leave a failed write through longjmp, past the destructors
    // of the rows they copied (a leak at every cancel): those finish into nothing instead.
    StoppingDevice stopping(device, stop, format == "png" || format == "jpg");
    const bool ok = encodeWithQt(&stopping, image, format, error);
    if (stopping.stopped()) {
        setError(error, QStringLiteral("cancelled"));
        return false; // some writers do not check every write
    }
    return ok;
}

} // namespace

bool writePicture(QImage &image, const QString &path, int dpi, QString *error, const Stop &stop)
{
    const QByteArray format = prepare(image, path, dpi, error);
    if (format.isEmpty())
        return false;
    LockedTemporary temporary(path);
    if (!temporary.isOpen()) {
        setError(error, temporary.openError());
        return false;
    }
    QFile file;
    if (!file.open(temporary.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        setError(error, file.errorString());
        return false;
    }
    if (!encodeTo(&file, image, format, error, 0, stop))
        return false;
    // QFile buffers; a failure to write out the buffer (a full disk) shows only here.
    errno = 0;
    if (!file.flush()) {
        setError(error, errno ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString());
        return false;
    }
    file.close();
    return temporary.commit(true, error);
}

bool encodePicture(QImage &image, const QString &path, int dpi, QByteArray *bytes, QString *error, const Stop &stop)
{
    const QByteArray format = prepare(image, path, dpi, error);
    if (format.isEmpty())
        return false;
    // A byte a pixel up front: the file is not copied at every doubling as it grows, and
    // room left unused is never touched, so it takes no memory.
    bytes->reserve(int(std::min<qint64>(qint64(image.width()) * image.height(), 256 << 20)));
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    return encodeTo(&buffer, image, format, error, 1, stop);
}

namespace {

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, data, size_t(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        left -= done;
    }
    return true;
}

} // namespace

// Each page goes under a temporary name beside its final one and is renamed once complete:
// never a cut-short picture under the final name, and no wait for the disk, which per page
// would cost more than the encoding of a small one.
bool writeBytes(const QByteArray &bytes, const QString &path, QString *error)
{
    LockedTemporary temporary(path);
    if (!temporary.isOpen()) {
        setError(error, temporary.openError());
        return false;
    }
    errno = 0;
    if (!writeAll(temporary.handle(), bytes)) {
        setError(error, QString::fromLocal8Bit(std::strerror(errno ? errno : EIO)));
        return false;
    }
    return temporary.commit(false, error);
}

void removeAbandonedTemporaries(const QString &folder)
{
    static const QRegularExpression shape(QStringLiteral("^\\..+") + QRegularExpression::escape(QLatin1String(kTemporaryMark))
                                          + QStringLiteral("[0-9a-z]{1,6}$"));
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!shape.match(name).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) // its writer is gone
            ::unlink(path.constData());
        ::close(fd);
    }
}

} // namespace kpicture

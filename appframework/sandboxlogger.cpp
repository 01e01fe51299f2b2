#include "sandboxlogger.h"

#include "iapplicationadapter.h"
#include "kesslog.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <mutex>
#include <unistd.h>

struct SandboxLogger::Data
{
    mutable std::mutex mutex;
    int file = -1;
    bool active = false;
    QByteArray buffer;
    int retries = WriteRetries;
    QString path;
    bool debuggerCopies = false;

    bool writeAll(const QByteArray &bytes) const
    {
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(file, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

    void close()
    {
        if (file >= 0)
            ::close(file);
        file = -1;
        active = false;
    }

    void flush()
    {
        if (buffer.isEmpty() || file < 0) {
            buffer.clear();
            return;
        }
        if (!writeAll(buffer)) {
            // Reported on standard error only: the log itself is what failed.
            std::fprintf(stderr, "Write log failed: %s\n", buffer.constData());
            std::fflush(stderr);
            if (--retries <= 0)
                close();
        }
        buffer.clear();
    }

    void toDebugger(const QByteArray &line) const
    {
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fwrite("\n", 1, 1, stderr);
        std::fflush(stderr);
    }
};

SandboxLogger::SandboxLogger()
    : d(std::make_unique<Data>())
{
    d->buffer.reserve(BufferCapacity);
}

SandboxLogger::~SandboxLogger()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->flush();
    d->close();
}

void SandboxLogger::setPath(const QString &path)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->path = path;
}

QString SandboxLogger::path() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->path;
}

namespace {

// Created new and locked for the life of the logger, so that another process's clean-up of
// the shared log folder leaves it alone. -1 with errno set when it cannot be had.
int createLockedFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int file = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0)
        return -1;
    const bool locked = ::flock(file, LOCK_EX | LOCK_NB) == 0;
    if (!locked && errno != EWOULDBLOCK)
        return file; // a file system without locks: log unprotected rather than not at all
    // A clean-up elsewhere may hold or have removed the new name before the lock was taken.
    struct stat opened{}, named{};
    const bool ours = locked && ::fstat(file, &opened) == 0 && ::stat(name.constData(), &named) == 0
        && opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
    if (!ours) {
        ::close(file);
        errno = EEXIST; // try the next name
        return -1;
    }
    return file;
}

} // namespace

bool SandboxLogger::openFile()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (d->file >= 0)
        return true;
    if (d->path.isEmpty())
        return false;
    // Two processes of the suite may start in the same second: the later one takes the
    // next free "<name>_<n>.log" instead of losing its log.
    const QString base = d->path.endsWith(QLatin1String(".log")) ? d->path.chopped(4) : d->path;
    for (int attempt = 0; attempt < 10 && d->file < 0; ++attempt) {
        const QString candidate = attempt == 0 ? d->path : QStringLiteral("%1_%2.log").arg(base).arg(attempt);
        d->file = createLockedFile(candidate);
        if (d->file >= 0)
            d->path = candidate;
        else if (errno != EEXIST)
            break;
    }
    d->retries = WriteRetries;
    return d->file >= 0;
}

bool SandboxLogger::isLockedElsewhere(const QString &path)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (file < 0)
        return false;
    const bool locked = ::flock(file, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(file);
    return locked;
}

bool SandboxLogger::isFileOpen() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->file >= 0;
}

void SandboxLogger::setFileWriting(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->active = on && d->file >= 0;
}

bool SandboxLogger::isFileWriting() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->active;
}

void SandboxLogger::setDebuggerCopies(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->debuggerCopies = on;
}

bool SandboxLogger::debuggerCopies() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->debuggerCopies;
}

QString SandboxLogger::formatLine(int level, const QString &message, const QDateTime &time)
{
    return QStringLiteral("[%1][%2]: %3")
        .arg(time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz")), kess::levelName(level), message);
}

void SandboxLogger::write(int level, const QString &message)
{
    const QString line = formatLine(level, message, QDateTime::currentDateTime());
    const QByteArray bytes = line.toUtf8();
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        if (d->active) {
            if (d->buffer.size() + bytes.size() > BufferCapacity)
                d->flush();
            // The flush may have closed the file.
            if (d->active) {
                d->buffer += bytes;
                d->buffer += '\n';
            }
        }
        if (d->debuggerCopies)
            d->toDebugger(bytes);
    }
    // Outside the lock: the adapter may log in turn.
    HandLogLineToAdapter(level, line);
}

void SandboxLogger::flush()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->flush();
}

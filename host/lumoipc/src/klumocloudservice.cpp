#include "klumocloudservice.h"

#include "lumocloud_types.h"

#include <khostconfig.h>
#include <krtdirs.h>

#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/transport/TBufferTransports.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using apache::thrift::protocol::TBinaryProtocol;
using apache::thrift::transport::TMemoryBuffer;
using brx::lumocloud::UploadFilesToCloudArg;

namespace klumocloud {
namespace {

// Far above any real request, low enough that hostile sizes fail before allocating.
constexpr int32_t kStringLimit = 1 << 20;
constexpr int32_t kContainerLimit = 1 << 16;

UploadFilesToCloudResult failure(int code, const QString &message)
{
    qWarning().noquote() << "cloud service:" << message;
    UploadFilesToCloudResult result;
    result.code = code;
    result.message = message;
    return result;
}

bool readRequest(const QByteArray &bytes, UploadFilesToCloudArg &arg, QString &error)
{
    // Thrift copies an empty message into a buffer it never allocated.
    if (bytes.isEmpty()) {
        error = QStringLiteral("empty request");
        return false;
    }
    auto buffer = std::make_shared<TMemoryBuffer>(
        reinterpret_cast<uint8_t *>(const_cast<char *>(bytes.constData())),
        static_cast<uint32_t>(bytes.size()), TMemoryBuffer::COPY);
    TBinaryProtocol protocol(buffer, kStringLimit, kContainerLimit, false, true);
    try {
        arg.read(&protocol);
        return true;
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
        return false;
    }
}

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0));
}

// The cloud path is relative to the user's folder whatever its form; ".." would leave it.
bool resolveFolder(const QString &userId, const QString &cloudPath, QString &folder, QString &error)
{
    QStringList parts{cloudRoot(), userId};
    const QStringList given = QString(cloudPath).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : given) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..") || part.contains(QChar(0))) {
            error = QStringLiteral("cloud path leaves the user's folder: %1").arg(cloudPath);
            return false;
        }
        parts << part;
    }
    folder = parts.join(QLatin1Char('/'));
    return true;
}

bool copyFile(const QString &source, const QString &target)
{
    QFile in(source);
    QSaveFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = in.read(chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (out.write(chunk, n) != n)
            return false;
    }
    // commit() does not see a failure to write out the buffered tail (a full disk, the file
    // size limit) and would put a cut-short copy in place.
    if (!out.flush()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

void backUp(const QString &source, const QString &folder, UploadFilesToCloudResult &result)
{
    const QFileInfo info(source);
    const QString target = folder + QLatin1Char('/') + info.fileName();
    if (info.isFile() && copyFile(source, target)) {
        result.uploadedFiles << target;
        return;
    }
    qWarning().noquote() << "cloud service: cannot back up" << source;
    result.failedFiles << source;
}

} // namespace

QString cloudRoot()
{
    const QString configured = KHostConfig::value(QStringLiteral("cloudRoot")).toString();
    if (!configured.isEmpty())
        return QDir::cleanPath(configured);
    return krt::dirs::brindlexHome() + QStringLiteral("/cloud");
}

UploadFilesToCloudResult uploadFilesToCloud(const QByteArray &request, const KVYXUserInfo &account)
{
    UploadFilesToCloudArg arg;
    QString error;
    if (!readRequest(request, arg, error))
        return failure(UploadFilesToCloudResult::InvalidRequest, QStringLiteral("unreadable request: ") + error);

    const QString userId = QString::fromStdString(arg.userId);
    if (!account.logined() || userId.isEmpty())
        return failure(UploadFilesToCloudResult::NotSignedIn, QStringLiteral("nobody is signed in"));
    if (userId != account.userId() || !isPlainName(userId))
        return failure(UploadFilesToCloudResult::InvalidRequest, QStringLiteral("request for another user: %1").arg(userId));

    QString folder;
    if (!resolveFolder(userId, QString::fromStdString(arg.cloudPath), folder, error))
        return failure(UploadFilesToCloudResult::InvalidRequest, error);
    if (!QFileInfo(folder).isDir() && (!arg.createWhenNoExists || !QDir().mkpath(folder)))
        return failure(UploadFilesToCloudResult::InvalidRequest, QStringLiteral("no cloud folder %1").arg(folder));

    UploadFilesToCloudResult result;
    for (const std::string &source : arg.srcFiles)
        backUp(QString::fromStdString(source), folder, result);
    if (!result.failedFiles.isEmpty()) {
        result.code = UploadFilesToCloudResult::PartlyFailed;
        result.message = QStringLiteral("%1 of %2 files not backed up")
                             .arg(result.failedFiles.size()).arg(arg.srcFiles.size());
    }
    return result;
}

} // namespace klumocloud

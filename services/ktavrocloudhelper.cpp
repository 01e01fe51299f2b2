#include "ktavrocloudhelper.h"

#include "currentuser.h"
#include "uploadfilestocloud_types.h"

#include <kregistry.h>

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace {

const char kCloudComponentKey[] =
    "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\CLSID\\{5FCD4425-CA3A-48F4-A57C-B8A75C32ACB1}";

std::vector<std::string> toUtf8(const QStringList &texts)
{
    std::vector<std::string> result;
    result.reserve(texts.size());
    for (const QString &text : texts)
        result.push_back(text.toStdString());
    return result;
}

} // namespace

KTavroCloudHelper::KTavroCloudHelper(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<UploadFilesToCloudResult>("UploadFilesToCloudResult");
}

KTavroCloudHelper *KTavroCloudHelper::instance()
{
    // Owned by the application object; made again only if that one was replaced.
    static QPointer<KTavroCloudHelper> helper;
    if (!helper)
        helper = new KTavroCloudHelper(QCoreApplication::instance());
    return helper;
}

bool KTavroCloudHelper::isCloudBackupAvailable()
{
    return !KRegistry::value(QLatin1String(kCloudComponentKey), QString()).toString().isEmpty();
}

QString KTavroCloudHelper::uploadFile(const QString &filePath, const QString &cloudFolder)
{
    return send(cloudFolder, {QDir::toNativeSeparators(filePath)}, "onUploadFileFinished");
}

QString KTavroCloudHelper::uploadFolder(const QString &folderPath, const QString &cloudFolder)
{
    return send(folderTarget(cloudFolder, folderPath), folderFiles(folderPath), "onUploadFolderFinished");
}

QString KTavroCloudHelper::backupExport(const QString &exportedFile, bool singlePicture)
{
    const QString cloudFolder = tr("cloudapp/ktavro");
    if (singlePicture)
        return uploadFile(exportedFile, cloudFolder);
    return uploadFolder(QFileInfo(exportedFile).absolutePath(), cloudFolder);
}

QString KTavroCloudHelper::folderTarget(const QString &cloudFolder, const QString &folderPath)
{
    QString target = cloudFolder;
    if (!target.endsWith(QLatin1Char('/')) && !target.endsWith(QLatin1Char('\\')))
        target += QLatin1Char('\\');
    return target + QDir(folderPath).dirName();
}

QStringList KTavroCloudHelper::folderFiles(const QString &folderPath)
{
    QStringList files;
    const QFileInfoList entries = QDir(folderPath).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries)
        files << QDir::toNativeSeparators(entry.absoluteFilePath());
    return files;
}

QString KTavroCloudHelper::send(const QString &cloudPath, const QStringList &files, const char *slot)
{
    vyx::lumo::UploadFilesToCloudArg request;
    request.__set_userId(currentUserInfo().userId().toStdString());
    request.__set_cloudPath(cloudPath.toStdString());
    request.__set_srcFiles(toUtf8(files));
    request.__set_createWhenNoExists(true);
    const QString requestId = LumoIpcAsynCallEx(QStringLiteral("uploadFilesToCloud"),
                                                KLumoIpcArgument("UploadFilesToCloudArg", request), this, slot);
    if (requestId.isEmpty())
        qWarning() << "KTavroCloudHelper: the cloud service took no request for" << cloudPath;
    return requestId;
}

void KTavroCloudHelper::onUploadFileFinished(QString requestId, UploadFilesToCloudResult result)
{
    emit uploadFinished(requestId, result);
}

void KTavroCloudHelper::onUploadFolderFinished(QString requestId, UploadFilesToCloudResult result)
{
    emit uploadFinished(requestId, result);
}

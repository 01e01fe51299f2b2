#include "kesssandbox_p.h"

#include "kesslog.h"
#include "kesssandboxhelper.h"

#include <kshelllink.h>
#include <krtdirs.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

QDir subFolder(const QDir &parent, const QString &name)
{
    parent.mkpath(name);
    return QDir(parent.filePath(name));
}

QString hexResult(long result)
{
    return QString::number(static_cast<quint32>(result), 16);
}

bool reportFailure(const kess::LogSite &site, const char *operation, long result)
{
    kess::writeLog(kess::LevelCritical, site,
                   QStringLiteral("\"%1\" failed. The HRESULT is 0x%2").arg(QLatin1String(operation), hexResult(result)));
    return false;
}

int shortcutIconIndex(const QVariantMap &properties)
{
    static const int index = properties.value(QStringLiteral("shortcutIconIndex")).toInt();
    return index;
}

} // namespace

QString KEssSandbox::Data::dataPath() const
{
    return krt::dirs::brindlexHome() + QStringLiteral("/vyx") + QStringLiteral("/addons/data/")
        + QStringLiteral("win-i386") + QLatin1Char('/') + info.appId;
}

QDir KEssSandbox::dataDir() const
{
    const QString path = d->dataPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QDir().mkpath(path);
    return QDir(path);
}

QDir KEssSandbox::logDir() const
{
    return subFolder(dataDir(), QStringLiteral("log"));
}

QDir KEssSandbox::tempDir() const
{
    return subFolder(dataDir(), QStringLiteral("temp"));
}

void KEssSandbox::removeExpiredFiles(bool deferred, int logAgeDays, int tempAgeDays)
{
    d->removeExpiredFiles(deferred, logAgeDays, tempAgeDays);
}

void KEssSandbox::Data::removeExpiredFiles(bool deferred, int logAgeDays, int tempAgeDays)
{
    const QString dataFolder = dataPath();
    auto work = [this, dataFolder, logAgeDays, tempAgeDays] {
        cleanFolder(dataFolder + QStringLiteral("/log"), logAgeDays);
        cleanFolder(dataFolder + QStringLiteral("/temp"), tempAgeDays);
    };
    if (deferred) {
        deferredCleanup = work;
        return;
    }
    deferredCleanup = nullptr;
    work();
}

void KEssSandbox::Data::cleanFolder(const QString &path, int ageDays) const
{
    if (ageDays < 0)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    QDir dir(path);
    const auto entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Time);
    for (const QFileInfo &entry : entries) {
        // A link is removed as a file: the walk never follows it out of the sandbox.
        if (entry.isDir() && !entry.isSymLink()) {
            cleanFolder(entry.absoluteFilePath(), ageDays);
            dir.rmdir(entry.fileName()); // only succeeds when empty
            continue;
        }
        const qint64 days = entry.lastModified().secsTo(now) / (24 * 60 * 60);
        if (ageDays != 0 && days < ageDays)
            continue;
        // Linux would let an open log, ours or another process's, be deleted while its
        // lines go on into nothing.
        if (SandboxLogger::isLockedElsewhere(entry.absoluteFilePath()))
            continue;
        if (!QFile::remove(entry.absoluteFilePath()))
            KESS_WARNING(QStringLiteral("Delete file ") + entry.absoluteFilePath() + QStringLiteral(" failed."));
    }
}

QString KEssSandbox::shortcutArguments() const
{
    return d->shortcutArguments();
}

QString KEssSandbox::Data::shortcutArguments() const
{
    const QString parameters =
        QString::fromLatin1(info.properties.value(QStringLiteral("shortcutArguments")).toString().toUtf8().toBase64());
    const ModuleInfo &module = KessSandBoxHelper::getModuleInfo();
    if (!module.launcherPath.isEmpty()) {
        return QStringLiteral("/vyxcloudlaunch /run_app \"/app_id=%1\" \"/app_params=%2\" /src=public_shortcut")
            .arg(info.appId, parameters);
    }
    KESS_WARNING(QStringLiteral("Cannot find zdalaunch.exe path. Using absolute exe path."));
    const QString service = QDir::toNativeSeparators(module.hostExecutableFolder + QStringLiteral("/vyxcloudsvrimp"));
    return QStringLiteral("Run /InstanceId:VyxCloudSvr \"%1\" /run_app \"/app_id=%2\" \"/app_params=%3\" /src=public_shortcut")
        .arg(service, info.appId, parameters);
}

bool KEssSandbox::createShortcut(const QString &targetFolder, const QString &iconFile)
{
    const ModuleInfo &module = KessSandBoxHelper::getModuleInfo();
    const QVariantMap &properties = d->info.properties;
    KShellLink link;
    long result = link.setPath(module.launcherPath.isEmpty() ? module.hostExecutablePath : module.launcherPath);
    if (result != KShellLink::Ok)
        return reportFailure(KESS_HERE, "IShellLink::SetPath", result);
    result = link.setWorkingDirectory(module.hostExecutableFolder);
    if (result != KShellLink::Ok)
        return reportFailure(KESS_HERE, "IShellLink::SetWorkingDirectory", result);
    result = link.setArguments(shortcutArguments());
    if (result != KShellLink::Ok)
        return reportFailure(KESS_HERE, "IShellLink::SetArguments", result);

    QString icon = iconFile.isEmpty() ? KessSandBoxHelper::resourcePath(QStringLiteral("resource/res/title.ico")) : iconFile;
    if (!QFileInfo::exists(icon)) {
        KESS_WARNING(QStringLiteral("Cannot find shortcut icon file ") + icon + QStringLiteral(". Use ")
                     + module.hostExecutablePath + QStringLiteral(" instead."));
        icon = module.hostExecutablePath;
    }
    result = link.setIconLocation(icon, shortcutIconIndex(properties));
    if (result != KShellLink::Ok)
        return reportFailure(KESS_HERE, "IShellLink::SetIconLocation", result);

    const QString description = properties.value(QStringLiteral("shortcutDescription")).toString();
    result = link.setDescription(description.isEmpty() ? d->info.displayName : description);
    if (result != KShellLink::Ok)
        return reportFailure(KESS_HERE, "IShellLink::SetDescription", result);

    QString name = properties.value(QStringLiteral("shortcutName")).toString();
    if (name.isEmpty())
        name = d->info.displayName;
    name.replace(QLatin1Char('/'), QLatin1Char('_')); // stays inside the target folder
    const QString path = QDir(targetFolder).filePath(name + QStringLiteral(".desktop"));
    result = link.save(path, true);
    if (result != KShellLink::Ok)
        return reportFailure(KESS_HERE, "IPersistFile::Save", result);
    KESS_DEBUG(QStringLiteral("Shortcut created: ") + path);
    return true;
}

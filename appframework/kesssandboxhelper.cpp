#include "kesssandboxhelper.h"

#include "kesslog.h"

#include <kmoduleinfo.h>
#include <kregistry.h>

#include <QDir>
#include <QFileInfo>

namespace {

const char kInstallKey[] = "SOFTWARE\\brindlex\\Office\\6.0\\Common";

QString registeredInstallRoot()
{
    const QString userKey = QStringLiteral("HKEY_CURRENT_USER\\") + QLatin1String(kInstallKey);
    const QString machineKey = QStringLiteral("HKEY_LOCAL_MACHINE\\") + QLatin1String(kInstallKey);
    QString root = KRegistry::value(userKey, QStringLiteral("InstallRoot")).toString();
    if (root.isEmpty())
        root = KRegistry::value(machineKey, QStringLiteral("InstallRoot")).toString();
    return root;
}

ModuleInfo readModuleInfo()
{
    ModuleInfo info;
    info.hostExecutablePath = KModuleInfo::processExecutable();
    if (info.hostExecutablePath.isEmpty())
        KESS_CRITICAL(QStringLiteral("The executable of the process cannot be read: ") + KModuleInfo::lastError());
    else
        info.hostExecutableFolder = QFileInfo(info.hostExecutablePath).absolutePath();

    info.modulePath = KModuleInfo::filePathOf(reinterpret_cast<const void *>(&readModuleInfo));
    if (info.modulePath.isEmpty())
        KESS_CRITICAL(QStringLiteral("dladdr for the current module failed: ") + KModuleInfo::lastError());
    else
        info.moduleFolder = QFileInfo(info.modulePath).absolutePath();

    info.launcherPath = KessSandBoxHelper::launcherPath();
    return info;
}

} // namespace

const ModuleInfo &KessSandBoxHelper::getModuleInfo()
{
    static const ModuleInfo info = readModuleInfo();
    return info;
}

QString KessSandBoxHelper::installRootParent()
{
    const QString root = registeredInstallRoot();
    if (root.isEmpty())
        return QString();
    return QFileInfo(QDir::cleanPath(QDir::fromNativeSeparators(root))).absolutePath();
}

QString KessSandBoxHelper::launcherPath()
{
    const QString parent = installRootParent();
    if (parent.isEmpty())
        return QString();
    // Linux executables carry no suffix.
    return QDir::toNativeSeparators(parent + QStringLiteral("/zdalaunch"));
}

QString KessSandBoxHelper::resourcePath(const QString &relativePath)
{
    return QDir::cleanPath(getModuleInfo().moduleFolder + QLatin1Char('/') + relativePath);
}

#include "kmoduleinfo.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace {
thread_local QString g_lastError;

bool lookUp(const void *address, Dl_info *info)
{
    if (address && dladdr(address, info) != 0 && info->dli_fname)
        return true;
    const char *error = dlerror();
    g_lastError = error ? QString::fromLocal8Bit(error) : QStringLiteral("address not in a loaded module");
    return false;
}
} // namespace

QString KModuleInfo::filePathOf(const void *address)
{
    Dl_info info{};
    if (!lookUp(address, &info))
        return QString();
    // The loader reports the main executable by the name it was started with.
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalFilePath();
}

QString KModuleInfo::processExecutable()
{
    const QString path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (path.isEmpty())
        g_lastError = QStringLiteral("/proc/self/exe cannot be read");
    return path;
}

QString KModuleInfo::lastError()
{
    return g_lastError;
}

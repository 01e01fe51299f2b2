#include "kaddonloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The full module: $BRINDLEX_ADDON, else the installed one in lib/ beside bin/, else (a run
// from the build tree) the one built.
QString fullModulePath()
{
    const QString chosen = qEnvironmentVariable("BRINDLEX_ADDON");
    if (!chosen.isEmpty())
        return chosen;
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/libktavro.so");
    if (QFileInfo(installed).isFile())
        return QFileInfo(installed).canonicalFilePath();
    return QStringLiteral(KTAVRO_ADDON_BUILD_PATH);
}

QString modulePath(KAddonLoader::Module module)
{
    if (module == KAddonLoader::Full)
        return fullModulePath();
    const QString exportModule = qEnvironmentVariable("BRINDLEX_EXPORT_MODULE");
    if (!exportModule.isEmpty())
        return exportModule;
    const QString full = fullModulePath();
    if (full == QLatin1String(KTAVRO_ADDON_BUILD_PATH))
        return QStringLiteral(KTAVRO_EXPORT_MODULE_BUILD_PATH);
    return KAddonLoader::exportModuleBeside(full);
}

} // namespace

KAddonLoader::KAddonLoader(Module module)
{
    m_library.setFileName(modulePath(module));
}

QString KAddonLoader::exportModuleBeside(const QString &addonPath)
{
    const QFileInfo beside(QFileInfo(addonPath).dir(), QStringLiteral("libktavro_export.so"));
    return beside.isFile() ? beside.filePath() : addonPath;
}

bool KAddonLoader::load(QString *error)
{
    if (m_library.load())
        return true;
    if (error)
        *error = m_library.errorString();
    return false;
}

QFunctionPointer KAddonLoader::resolve(const char *symbol)
{
    return m_library.resolve(symbol);
}

#include "kaddonloader.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString modulePath(KAddonLoader::Module module)
{
    if (module == KAddonLoader::ExportOnly) {
        const QString exportModule = qEnvironmentVariable("BRINDLEX_EXPORT_MODULE");
        if (!exportModule.isEmpty())
            return exportModule;
    }
    const QString addon = qEnvironmentVariable("BRINDLEX_ADDON");
    if (module == KAddonLoader::Full)
        return addon.isEmpty() ? QStringLiteral(KTAVRO_ADDON_BUILD_PATH) : addon;
    return addon.isEmpty() ? QStringLiteral(KTAVRO_EXPORT_MODULE_BUILD_PATH) : KAddonLoader::exportModuleBeside(addon);
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

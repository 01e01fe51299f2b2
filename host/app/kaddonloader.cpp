#include "kaddonloader.h"

#include <QCoreApplication>
#include <QFileInfo>

QString KAddonLoader::modulePath()
{
    const QString chosen = qEnvironmentVariable("BRINDLEX_ADDON");
    if (!chosen.isEmpty())
        return chosen;
    // Installed: lib/ beside bin/. The build tree's copy only for a run from the build tree.
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/libktavro.so");
    if (QFileInfo(installed).isFile())
        return QFileInfo(installed).canonicalFilePath();
    return QStringLiteral(KTAVRO_ADDON_BUILD_PATH);
}

KAddonLoader::KAddonLoader()
{
    m_library.setFileName(modulePath());
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

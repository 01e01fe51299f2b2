#include "kaddonloader.h"

#include <QFileInfo>

KAddonLoader::KAddonLoader()
{
    QString path = qEnvironmentVariable("BRINDLEX_ADDON");
    if (path.isEmpty())
        path = QStringLiteral(KTAVRO_ADDON_BUILD_PATH);
    m_library.setFileName(path);
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

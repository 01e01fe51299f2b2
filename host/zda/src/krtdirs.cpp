#include "krtdirs.h"

#include "khostconfig.h"

#include <QCoreApplication>
#include <QDir>

QString krt::dirs::brindlexHome()
{
    QString base = qEnvironmentVariable("appdata");
    if (base.isEmpty())
        base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/brindlex"));
}

QString krt::dirs::office()
{
    const QString configured = KHostConfig::value(QStringLiteral("officeFolder")).toString();
    if (!configured.isEmpty())
        return QDir::cleanPath(configured);
    return QCoreApplication::applicationDirPath();
}

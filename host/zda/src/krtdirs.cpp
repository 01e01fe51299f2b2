#include "krtdirs.h"

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

#include "kregquery.h"

#include <kregistry.h>

QString _zda_RegAreaKeyPath(int area, const QString &key)
{
    return QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Brindlex\\Office\\6.0\\area%1\\%2").arg(area).arg(key);
}

QString _zda_RegQueryValue(int area, const QString &key, const QString &name)
{
    return KRegistry::value(_zda_RegAreaKeyPath(area, key), name).toString();
}

#include "krtservices.h"

#include "khostconfig.h"
#include "krt.h"

QString krt::product::serverUrl(const QString &name)
{
    return KHostConfig::value(QStringLiteral("serverUrl.") + name).toString();
}

bool krt::product::isDisableGlobalInfocollect()
{
    return KHostConfig::value(QStringLiteral("disableGlobalInfocollect"), false).toBool();
}

bool krt::isVldTurnedOn()
{
    return KHostConfig::value(QStringLiteral("vldTurnedOn"), false).toBool();
}

QString _zda_GetCollectDetail(int number)
{
    const QVariant configured = KHostConfig::value(QStringLiteral("collectDetail%1").arg(number));
    if (configured.isValid())
        return configured.toString();
    return number == 1 ? krt::info::version() : QString();
}

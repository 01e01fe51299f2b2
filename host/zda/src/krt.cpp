#include "krt.h"

#include "khostconfig.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

namespace krt {

bool product::isEnterprise()
{
    return KHostConfig::isEnterprise();
}

bool product::isSupported(const QString &feature)
{
    return KHostConfig::isFeatureSupported(feature);
}

int product::versionID()
{
    return KHostConfig::editionNumber();
}

QString configs::getRawConfig(const QString &key)
{
    return KHostConfig::rawConfig(key);
}

QString info::version()
{
    return QStringLiteral(KTAVRO_VERSION_STRING);
}

QString host::uiFontSubstitute()
{
    return QStringLiteral("WenQuanYi Micro Hei");
}

void host::initialize()
{
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), uiFontSubstitute());
}

} // namespace krt

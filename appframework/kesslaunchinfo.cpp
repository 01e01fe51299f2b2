#include "kesslaunchinfo.h"

#include "kesslog.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

PairString toPair(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<PairString>())
        return value.value<PairString>();
    const QVariantMap map = value.toMap();
    return PairString(map.value(QStringLiteral("name")).toString(), map.value(QStringLiteral("file")).toString());
}

QList<KEssDependency> readDependencies(const QVariant &value)
{
    QList<KEssDependency> dependencies;
    for (const QVariant &item : value.toList()) {
        const PairString pair = toPair(item);
        if (!pair.first.isEmpty() && !pair.second.isEmpty())
            dependencies << KEssDependency{pair.first, pair.second};
    }
    return dependencies;
}

QVariantMap readMetaFile(const QString &path)
{
    if (path.isEmpty())
        return QVariantMap();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        KESS_WARNING(QStringLiteral("Cannot open meta file ") + path + QStringLiteral(": ") + file.errorString());
        return QVariantMap();
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject()) {
        KESS_WARNING(QStringLiteral("Meta file ") + path + QStringLiteral(" is not a JSON object: ") + error.errorString());
        return QVariantMap();
    }
    return document.object().toVariantMap();
}

} // namespace

KEssLaunchInfo KEssLaunchInfo::fromLaunchMap(const QVariantMap &launchMap)
{
    KEssLaunchInfo info;
    info.appId = launchMap.value(QStringLiteral("appId")).toString();
    info.entry = toPair(launchMap.value(QStringLiteral("entry")));
    info.source = launchMap.value(QStringLiteral("src")).toString();
    info.files = launchMap.value(QStringLiteral("file")).toStringList();
    info.dependencies = readDependencies(launchMap.value(QStringLiteral("dependency")));
    info.properties = readMetaFile(launchMap.value(QStringLiteral("meteFilePath")).toString());
    info.posX = launchMap.value(QStringLiteral("posx")).toInt();
    info.posY = launchMap.value(QStringLiteral("posy")).toInt();
    return info;
}

void KEssLaunchInfo::registerMetaTypes()
{
    qRegisterMetaType<PairString>("PairString");
    qRegisterMetaType<const KEssLaunchInfo *>("const KEssLaunchInfo*");
    qRegisterMetaType<SandboxInfo *>("SandboxInfo*");
}

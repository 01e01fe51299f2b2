#include "kesstools.h"

#include "iapplicationadapter.h"
#include "kesslog.h"
#include "kesssandbox.h"

#include <kcloudserviceproxy.h>
#include <kdcinfo.h>
#include <krt.h>
#include <krtservices.h>
#include <kxapplication.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace kesstools {
namespace app {

namespace {

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

bool isLoggedIn()
{
    const KCloudServiceProxy *cloud = KCloudServiceProxy::instance();
    return cloud && cloud->isLogined();
}

QString componentName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("writer") : name;
}

// A dependency names a library file or its folder; the version is in the folder's name.
QString dependencyFolder(const QString &file)
{
    const QFileInfo info(file);
    return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

} // namespace

void openUrl(const QString &url)
{
    IApplicationAdapter *adapter = GetApplicationAdapter();
    if (!adapter) {
        KESS_CRITICAL(QStringLiteral("Cannot get application adapter. Cannot open url."));
        return;
    }
    QVariantList results;
    adapter->call(Method_OpenUrl, {url}, results);
}

void openFeedbackUrl()
{
    QString appId;
    QString appName;
    if (KEssSandbox *sandbox = GetSandbox()) {
        appId = sandbox->info().appId;
        appName = sandbox->info().displayName;
    } else {
        KESS_CRITICAL(QStringLiteral("Cannot get sandbox. appId and appName is set to empty."));
    }
    const QString endpoint = krt::product::serverUrl(QStringLiteral("FeedbackServer")) + QStringLiteral("/feedback/front");
    QString url = QStringLiteral("%1?product_name=%2&app_type=%3&app_name=%4&app_version=%5&app_dist=%6")
                      .arg(endpoint, encoded(appId), QStringLiteral("client"), encoded(appName),
                           encoded(krt::info::version()), encoded(_zda_GetCollectDetail(2)));
    const KCloudServiceProxy *cloud = KCloudServiceProxy::instance();
    if (cloud && !cloud->sessionId().isEmpty())
        url += QStringLiteral("&vyxid=%1").arg(encoded(cloud->sessionId()));
    else
        KESS_CRITICAL(QStringLiteral("Cannot get cloudserver and vyxsid."));
    openUrl(url);
}

void sendInfoCollection(const QString &eventName, const QHash<QString, QString> &fields, int flags)
{
    KDcInfoC *statistics = KxApplication::coreApplication()->getDcInfo();
    if (!statistics) {
        KESS_CRITICAL(QStringLiteral("Cannot get KDcInfoC instance. Send failed."));
        return;
    }
    KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_CRITICAL(QStringLiteral("Cannot get sandbox. Send failed."));
        return;
    }
    QHash<QString, QString> event = fields;
    if (flags & CollectAppName)
        event.insert(QStringLiteral("appname"), sandbox->info().displayName);
    if (flags & CollectRole)
        event.insert(QStringLiteral("role"), isLoggedIn() ? QStringLiteral("login") : QStringLiteral("nologin"));
    if (flags & CollectSource)
        event.insert(QStringLiteral("src"), QStringLiteral("%1_public").arg(componentName()));
    if (flags & CollectPluginVersion)
        event.insert(QStringLiteral("plugin_version"), pluginVersion());
    statistics->postGeneralEvent(eventName, event, 0, 0, 1);
}

const KEssLaunchInfo *getLaunchInfo()
{
    IApplicationAdapter *adapter = GetApplicationAdapter();
    if (!adapter) {
        KESS_CRITICAL(QStringLiteral("The result of GetApplicationAdapter is nullptr."));
        return nullptr;
    }
    QVariantList results;
    if (!adapter->call(Method_GetLaunchInfo, {}, results)) {
        KESS_CRITICAL(QStringLiteral("Wrong call of Method_GetLaunchInfo."));
        return nullptr;
    }
    if (results.size() != 1 || results.first().userType() != qMetaTypeId<const KEssLaunchInfo *>()) {
        KESS_CRITICAL(QStringLiteral("Wrong return arguments of Method_GetLaunchInfo."));
        return nullptr;
    }
    return results.first().value<const KEssLaunchInfo *>();
}

QVariant getMetaValue(const QString &key)
{
    const KEssLaunchInfo *info = getLaunchInfo();
    if (!info) {
        KESS_CRITICAL(QStringLiteral("Cannot get launch info."));
        return QVariant();
    }
    return info->properties.value(key);
}

SandboxInfo getApplicationInfo()
{
    KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_CRITICAL(QStringLiteral("getapplicationinfo failed, sandbox is not ready"));
        return SandboxInfo();
    }
    return sandbox->info();
}

QString getVYXVersion()
{
    const QString version = krt::info::version();
    if (version.isEmpty())
        KESS_WARNING(QStringLiteral("Version is empty."));
    return version;
}

QString moduleVersion()
{
    return QStringLiteral(KTAVRO_MODULE_VERSION);
}

PairString folderNameAndVersion(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return PairString();
    // Four dot-separated numbers after an underscore, with anything after them
    // ("ktavro_1.0.0.1_x64"); "tool_1.2.345" is no version.
    static const QRegularExpression pattern(QStringLiteral("^(.*)_(\\d+\\.\\d+\\.\\d+\\.\\d+)"));
    const QRegularExpressionMatch match = pattern.match(QFileInfo(QDir::cleanPath(info.absoluteFilePath())).fileName());
    if (!match.hasMatch())
        return PairString();
    return PairString(match.captured(1), match.captured(2));
}

QString pluginVersion()
{
    static QString version;
    if (!version.isEmpty())
        return version;
    KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_CRITICAL(QStringLiteral("Sandbox is not ready!"));
        return QString();
    }
    version = folderNameAndVersion(sandbox->info().entryFolder).second;
    return version;
}

QMap<QString, QString> dependenciesVersion()
{
    QMap<QString, QString> versions;
    KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_CRITICAL(QStringLiteral("Sandbox is not ready!"));
        return versions;
    }
    for (const KEssDependency &dependency : sandbox->info().dependencies) {
        const PairString found = folderNameAndVersion(dependencyFolder(dependency.file));
        if (!found.first.isEmpty())
            versions.insert(found.first, found.second);
    }
    return versions;
}

} // namespace app
} // namespace kesstools

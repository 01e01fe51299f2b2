#pragma once

#include "kesslaunchinfo.h"
#include "sandboxinfo.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QVariant>

// Small tools the framework's windows and the adapter share.
namespace kesstools {
namespace app {

// Fields sendInfoCollection adds to an event.
enum InfoCollectionFlag {
    CollectRole = 0x1,          // "role": "login" / "nologin"
    CollectSource = 0x2,        // "src": "<component>_public"
    CollectAppName = 0x4,       // "appname"
    CollectPluginVersion = 0x8, // "plugin_version"
};

void openUrl(const QString &url);
void openFeedbackUrl();
void sendInfoCollection(const QString &eventName, const QHash<QString, QString> &fields, int flags);

const KEssLaunchInfo *getLaunchInfo();
QVariant getMetaValue(const QString &key);
SandboxInfo getApplicationInfo();
QString getVYXVersion();

// "major.minor.patch.build" of this module.
QString moduleVersion();
// Name and version in a folder name such as "tool_1.2.3.4"; both empty when it has none.
PairString folderNameAndVersion(const QString &folder);
// The version in the name of the application's folder; kept once found.
QString pluginVersion();
// Name to version, for each dependency whose folder carries one.
QMap<QString, QString> dependenciesVersion();

} // namespace app
} // namespace kesstools

#pragma once

#include "kplugin.h"

#include <map>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <memory>

// The host's plug-in list, reached through KCoreApplication::getPluginMgr() (null when the
// host value "pluginManager" is false). The list is the host value "plugins", entries
// "name=version"; without it the host knows only this project's add-on, "ktavro".
class KPluginManager
{
public:
    KPluginManager();
    ~KPluginManager();

    // The named plug-in, or null. The object stays valid as long as the manager.
    KPlugin *getPlugin(const QString &name);
    QStringList pluginNames() const;

private:
    static QVariantMap parseEntry(const QString &entry);
    static QStringList configuredEntries();

    QMutex m_mutex;
    std::map<QString, std::unique_ptr<KPlugin>> m_plugins;
};

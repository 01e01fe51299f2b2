#include "kpluginmgr.h"

#include "khostconfig.h"
#include "kxapplication.h"

KPluginManager::KPluginManager() = default;
KPluginManager::~KPluginManager() = default;

QStringList KPluginManager::configuredEntries()
{
    const QVariant configured = KHostConfig::value(QStringLiteral("plugins"));
    if (!configured.isValid())
        return {QStringLiteral("ktavro=%1").arg(QStringLiteral(KTAVRO_VERSION_STRING))};
    return configured.toStringList();
}

QVariantMap KPluginManager::parseEntry(const QString &entry)
{
    const int separator = entry.indexOf(QLatin1Char('='));
    const QString name = (separator < 0 ? entry : entry.left(separator)).trimmed();
    if (name.isEmpty())
        return {};
    QVariantMap props{{QStringLiteral("name"), name}};
    if (separator >= 0)
        props.insert(QStringLiteral("version"), entry.mid(separator + 1).trimmed());
    return props;
}

QStringList KPluginManager::pluginNames() const
{
    QStringList names;
    for (const QString &entry : configuredEntries()) {
        const QString name = parseEntry(entry).value(QStringLiteral("name")).toString();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

KPlugin *KPluginManager::getPlugin(const QString &name)
{
    for (const QString &entry : configuredEntries()) {
        const QVariantMap props = parseEntry(entry);
        if (props.value(QStringLiteral("name")).toString() != name)
            continue;
        // Objects are kept, so a pointer handed out earlier stays valid when the list changes.
        QMutexLocker lock(&m_mutex);
        auto &plugin = m_plugins[name];
        if (!plugin)
            plugin = std::make_unique<KPlugin>();
        plugin->setProps(props);
        return plugin.get();
    }
    return nullptr;
}

KPluginManager *KCoreApplication::getPluginMgr()
{
    static KPluginManager manager;
    if (!KHostConfig::value(QStringLiteral("pluginManager"), true).toBool())
        return nullptr;
    return &manager;
}

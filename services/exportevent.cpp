#include "exportevent.h"

#include <kdcinfo.h>
#include <kexportcomponent.h>
#include <kpluginmgr.h>
#include <kxapplication.h>

#include <QCoreApplication>

namespace {

QString lookUpPluginVersion()
{
    KPluginManager *manager = KxApplication::coreApplication()->getPluginMgr();
    KPlugin *plugin = manager ? manager->getPlugin(QStringLiteral("ktavro")) : nullptr;
    return plugin ? plugin->getProp(QStringLiteral("version")).toString() : QString();
}

// Kept for the process once known; asked again only while the host had no answer.
QString pluginVersion()
{
    static QString kept;
    if (kept.isEmpty())
        kept = lookUpPluginVersion();
    return kept;
}

} // namespace

QString exportComponentType()
{
    const KExportComponent &component = KExportComponent::current();
    return component.isKnown() ? QString::fromLatin1(component.eventName) : QCoreApplication::applicationName();
}

void sendExportEvent(const QString &name, QHash<QString, QString> fields)
{
    KDcInfoC *statistics = KxApplication::coreApplication()->getDcInfo();
    if (!statistics)
        return;
    fields.insert(QStringLiteral("component_type"), exportComponentType());
    fields.insert(QStringLiteral("plugin_version"), pluginVersion());
    statistics->postGeneralEvent(QStringLiteral("vas_exportphoto_") + name, fields, 0, 0, 1);
}

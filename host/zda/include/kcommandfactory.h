#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class KCommand;
class KCommandFactoryItemBase;

// The process's command factory: add-ons register items at load and unregister them at
// unload; the host creates its commands by class name.
class KCommandFactory
{
public:
    // False when the item is null or its class name is taken.
    static bool registerCommand(KCommandFactoryItemBase *item);
    static bool unregisterCommand(KCommandFactoryItemBase *item);
    static bool isRegistered(const QString &className);
    static QStringList registeredNames();
    // A new command owned by the caller; null for an unknown name or an unfit host.
    static KCommand *createCommand(const QString &className, QObject *host, const QVariant &argument = QVariant());
};

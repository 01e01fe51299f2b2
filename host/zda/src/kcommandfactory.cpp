#include "kcommandfactory.h"
#include "kcommand.h"
#include "kcommandfactoryitem.h"

#include <QMutex>
#include <QMutexLocker>

#include <vector>

namespace {
struct Registry
{
    QMutex mutex;
    std::vector<KCommandFactoryItemBase *> items;

    KCommandFactoryItemBase *find(const QString &className) const
    {
        for (KCommandFactoryItemBase *item : items) {
            if (QString::fromLatin1(item->className()) == className)
                return item;
        }
        return nullptr;
    }
};

Registry &registry()
{
    static Registry instance;
    return instance;
}
} // namespace

bool KCommandFactory::registerCommand(KCommandFactoryItemBase *item)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    if (!item || r.find(QString::fromLatin1(item->className())))
        return false;
    r.items.push_back(item);
    return true;
}

bool KCommandFactory::unregisterCommand(KCommandFactoryItemBase *item)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (auto it = r.items.begin(); it != r.items.end(); ++it) {
        if (*it == item) {
            r.items.erase(it);
            return true;
        }
    }
    return false;
}

bool KCommandFactory::isRegistered(const QString &className)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.find(className) != nullptr;
}

QStringList KCommandFactory::registeredNames()
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    QStringList names;
    for (KCommandFactoryItemBase *item : r.items)
        names.append(QString::fromLatin1(item->className()));
    return names;
}

KCommand *KCommandFactory::createCommand(const QString &className, QObject *host, const QVariant &argument)
{
    KCommandFactoryItemBase *item = nullptr;
    {
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        item = r.find(className);
    }
    // Created outside the lock: a command's constructor may ask the factory for others.
    return item ? item->create(host, argument) : nullptr;
}

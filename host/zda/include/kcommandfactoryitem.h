#pragma once

#include <QByteArray>
#include <QObject>
#include <QVariant>
#include <QtGlobal>

class KCommand;

// One entry of the command factory: makes commands of one class for a host window.
class KCommandFactoryItemBase
{
public:
    KCommandFactoryItemBase(const char *className, const char *hostClassName)
        : m_className(className), m_hostClassName(hostClassName) {}
    virtual ~KCommandFactoryItemBase() = default;
    QByteArray className() const { return m_className; }
    QByteArray hostClassName() const { return m_hostClassName; }
    // A new command owned by the caller, or null when host is not of the host class.
    virtual KCommand *create(QObject *host, const QVariant &argument) const = 0;

private:
    QByteArray m_className;
    QByteArray m_hostClassName;
};

template<class Command, class Host>
class KCommandFactoryItem : public KCommandFactoryItemBase
{
public:
    KCommandFactoryItem(const char *className, const char *hostClassName)
        : KCommandFactoryItemBase(className, hostClassName) {}

    KCommand *create(QObject *host, const QVariant &argument) const override
    {
        Host *window = static_cast<Host *>(Host::staticMetaObject.cast(host));
        if (!window) {
            qWarning("%s need a host %s", className().constData(), hostClassName().constData());
            return nullptr;
        }
        return new Command(window, argument);
    }
};

#include "kcloudserviceproxy.h"

#include "kaccountservice.h"
#include "khostconfig.h"
#include "kshell.h"
#include "kxapplication.h"

#include <QMetaObject>
#include <QPointer>
#include <QUrl>

namespace {
KCloudServiceProxy *g_service = nullptr;
}

KCloudServiceProxy *KCloudServiceProxy::instance()
{
    return g_service;
}

KCloudServiceProxy *KCloudServiceProxy::start()
{
    if (!g_service)
        g_service = new KCloudServiceProxy;
    return g_service;
}

void KCloudServiceProxy::stop()
{
    delete g_service;
    g_service = nullptr;
}

bool KCloudServiceProxy::isLogined() const
{
    const KAccountService *account = KxApplication::coreApplication()->getAccountService();
    return account && account->userInfo().logined();
}

QString KCloudServiceProxy::sessionId() const
{
    return KHostConfig::value(QStringLiteral("cloudSessionId")).toString();
}

void KCloudServiceProxy::setLogined(bool logined)
{
    if (isLogined() == logined)
        return;
    KHostConfig::setValue(QStringLiteral("userLogined"), logined);
    emit loginStatusChanged();
}

void KCloudServiceProxy::setSessionId(const QString &sessionId)
{
    KHostConfig::setValue(QStringLiteral("cloudSessionId"), sessionId);
}

bool KCloudServiceProxy::openVipAutoLoginUrl(const QString &url, QObject *receiver, const char *slot)
{
    QUrl address(url);
    const QString scheme = address.scheme().toLower();
    if (!isLogined() || !address.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    // The suite's browser carries the login as cookies of its own web domain; the session
    // id never goes into an address that could lead elsewhere.
    const bool opened = KShell::open(address.toString(QUrl::FullyEncoded));

    QPointer<QObject> target(receiver);
    if (target && slot) {
        // SLOT() names carry a leading code digit; invokeMethod wants the bare name.
        QByteArray name(slot[0] >= '0' && slot[0] <= '9' ? slot + 1 : slot);
        name = name.left(name.indexOf('('));
        QMetaObject::invokeMethod(target, name.constData(), Qt::QueuedConnection, Q_ARG(bool, opened));
    }
    return true;
}

void KCloudServiceProxy::notify(const QString &event)
{
    emit eventNotify(event);
}

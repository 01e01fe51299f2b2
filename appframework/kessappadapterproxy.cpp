#include "kessappadapterproxy.h"

#include "kesslog.h"

#include <kcloudserviceproxy.h>

KEssAppAdapterProxy::KEssAppAdapterProxy(QObject *parent)
    : QObject(parent)
{
    KCloudServiceProxy *service = KCloudServiceProxy::instance();
    if (!service) {
        KESS_CRITICAL(QStringLiteral("should not using adapterproxy before cloudServiceproxy created"));
        return;
    }
    connect(service, &KCloudServiceProxy::loginStatusChanged, this, &KEssAppAdapterProxy::onLoginStateChanged);
    connect(service, &KCloudServiceProxy::eventNotify, this, &KEssAppAdapterProxy::onCloudSrvEventNotify);
    m_connected = true;
    m_state = service->isLogined() ? AccountLoggedIn : AccountLoggedOut;
}

KEssAppAdapterProxy::AccountState KEssAppAdapterProxy::accountState() const
{
    return m_state;
}

bool KEssAppAdapterProxy::isConnected() const
{
    return m_connected;
}

void KEssAppAdapterProxy::onLoginStateChanged()
{
    KCloudServiceProxy *service = KCloudServiceProxy::instance();
    m_state = service && service->isLogined() ? AccountLoggedIn : AccountLoggedOut;
    KESS_DEBUG(QStringLiteral("Login state changed: ")
               + (m_state == AccountLoggedIn ? QStringLiteral("login") : QStringLiteral("nologin")));
}

void KEssAppAdapterProxy::onCloudSrvEventNotify(const QString &event)
{
    KESS_DEBUG(QStringLiteral("CloudSrv received a notify: ") + event);
    if (event == QLatin1String("autoLoginFail")) {
        m_state = AccountAutoLoginFailed;
        emit autoLogin(false);
    }
}

void KEssAppAdapterProxy::onOpenVipAutoLoginUrlFinished(bool opened)
{
    if (!opened)
        KESS_WARNING(QStringLiteral("The cloud service could not open the address."));
}

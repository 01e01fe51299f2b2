#pragma once

#include <QObject>

// Ties the application adapter to the host's cloud service: login state and notifications.
class KEssAppAdapterProxy : public QObject
{
    Q_OBJECT
public:
    enum AccountState {
        AccountUnknown,
        AccountLoggedIn,
        AccountLoggedOut,
        AccountAutoLoginFailed,
    };
    Q_ENUM(AccountState)

    explicit KEssAppAdapterProxy(QObject *parent = nullptr);
    AccountState accountState() const;
    // False when the host's cloud service was not up when the proxy was made.
    bool isConnected() const;

signals:
    void autoLogin(bool succeeded);

public slots:
    void onLoginStateChanged();
    void onCloudSrvEventNotify(const QString &event);
    void onOpenVipAutoLoginUrlFinished(bool opened);

private:
    AccountState m_state = AccountUnknown;
    bool m_connected = false;
};

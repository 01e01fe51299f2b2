#pragma once

#include <QObject>
#include <QString>

// The host's link to the suite's cloud service: login state, session, notifications, and
// opening web pages with the user's login attached. It exists only once the host has
// started it; until then instance() is null, as in the suite before the service is up.
//
// The login state is the account service's (KCoreApplication::getAccountService); the session
// id is the host value "cloudSessionId". The setters change both host values and tell the
// listeners (tests, the account pane).
class KCloudServiceProxy : public QObject
{
    Q_OBJECT
public:
    static KCloudServiceProxy *instance();
    static KCloudServiceProxy *start();
    static void stop();

    bool isLogined() const;
    QString sessionId() const;
    void setLogined(bool logined);
    void setSessionId(const QString &sessionId);

    // Opens the address in the default browser with the user's login and answers
    // receiver's slot (taking one bool: opened) through the event loop. Returns false,
    // without answering, when nobody is logged in or the address is not a web address.
    bool openVipAutoLoginUrl(const QString &url, QObject *receiver, const char *slot);

    // Passes a notification of the service on to the listeners (the service process does
    // this in the suite).
    void notify(const QString &event);

signals:
    void loginStatusChanged();
    void eventNotify(const QString &event);

private:
    KCloudServiceProxy() = default;
};

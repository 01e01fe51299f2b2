#pragma once

#include <QString>

// The signed-in account as the host's account service reports it. Default-constructed:
// nobody signed in, empty id.
class KVYXUserInfo
{
public:
    KVYXUserInfo() = default;
    KVYXUserInfo(const QString &userId, bool logined) : m_userId(userId), m_logined(logined) {}

    QString userId() const { return m_userId; }
    bool logined() const { return m_logined; }

private:
    QString m_userId;
    bool m_logined = false;
};

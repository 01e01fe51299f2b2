#include "kaccountservice.h"

#include "khostconfig.h"
#include "kxapplication.h"

KVYXUserInfo KAccountService::userInfo() const
{
    const QString userId = KHostConfig::value(QStringLiteral("userId")).toString();
    const bool logined = KHostConfig::value(QStringLiteral("userLogined"), !userId.isEmpty()).toBool();
    return KVYXUserInfo(userId, logined);
}

KAccountService *KCoreApplication::getAccountService()
{
    static KAccountService service;
    if (!KHostConfig::value(QStringLiteral("accountService"), true).toBool())
        return nullptr;
    return &service;
}

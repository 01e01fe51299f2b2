#pragma once

#include "kvyxuserinfo.h"

// The host's account service, reached through KCoreApplication::getAccountService() (null
// when the host value "accountService" is false). The signed-in user comes from the host
// values "userId" and "userLogined" (the latter defaults to whether an id is set).
class KAccountService
{
public:
    KVYXUserInfo userInfo() const;
};

#include "currentuser.h"

#include <kaccountservice.h>
#include <kxapplication.h>

KVYXUserInfo currentUserInfo()
{
    KAccountService *account = KxApplication::coreApplication()->getAccountService();
    return account ? account->userInfo() : KVYXUserInfo();
}

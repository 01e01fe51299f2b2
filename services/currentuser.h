#pragma once

#include <kvyxuserinfo.h>

// The signed-in user from the host's account service; nobody without that service.
KVYXUserInfo currentUserInfo();

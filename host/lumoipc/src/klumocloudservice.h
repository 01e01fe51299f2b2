#pragma once

#include "lumoipc.h"

#include <kvyxuserinfo.h>

#include <QByteArray>

// The local stand-in of the suite's cloud service: it reads a serialised request and backs
// the files up into <cloud root>/<user id>/<cloud path>.
namespace klumocloud {

// Host value "cloudRoot", else the "cloud" folder in the suite's per-user home.
QString cloudRoot();

// `request` is an UploadFilesToCloudArg in Thrift's binary protocol; `account` is the
// session the service runs for. Never throws: every failure is in the result.
UploadFilesToCloudResult uploadFilesToCloud(const QByteArray &request, const KVYXUserInfo &account);

} // namespace klumocloud

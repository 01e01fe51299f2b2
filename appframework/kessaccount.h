#pragma once

#include <QByteArray>
#include <QString>

class QNetworkRequest;

// Identity of this machine and signing of requests to the suite's web API.
namespace kesstools {
namespace account {

// "UUID-" and an upper-case UUID, stored per user and kept for the process.
QString deviceId();
// Reads the stored id, or makes and stores a new one; not cached.
QString loadDeviceId();

// Sets "Date", "Content-Md5", "Content-Type", "Authorization", "Device-Id" and
// "Device-Name". The authorization carries a digest of the secret key, never the key.
// An empty scheme means "VYX-2".
void signRequest(QNetworkRequest &request, const QString &accessKey, const QString &secretKey,
                 const QByteArray &body, const QString &scheme = QString());

} // namespace account
} // namespace kesstools

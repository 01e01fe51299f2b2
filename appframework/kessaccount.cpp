#include "kessaccount.h"

#include "kesslog.h"

#include <kregistry.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QHostInfo>
#include <QLocale>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QUuid>

namespace kesstools {
namespace account {

namespace {
const char kDeviceKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\roamingdevice";
const char kContentType[] = "application/x-www-form-urlencoded";
} // namespace

QString loadDeviceId()
{
    const QString key = QLatin1String(kDeviceKey);
    QString id = KRegistry::value(key, QStringLiteral("deviceid")).toString();
    if (!id.isEmpty())
        return id;
    id = QStringLiteral("UUID-")
        + QUuid::createUuid().toString().remove(QRegularExpression(QStringLiteral("\\{|\\}"))).toUpper();
    if (!KRegistry::setValue(key, QStringLiteral("deviceid"), id))
        KESS_WARNING(QStringLiteral("Cannot store the device id."));
    return id;
}

QString deviceId()
{
    static const QString id = loadDeviceId();
    return id;
}

void signRequest(QNetworkRequest &request, const QString &accessKey, const QString &secretKey,
                 const QByteArray &body, const QString &scheme)
{
    const QString date = QLocale(QLocale::English, QLocale::UnitedStates)
                             .toString(QDateTime::currentDateTimeUtc(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss"))
        + QStringLiteral(" GMT");
    // Empty but not null: a null value would drop the header from the request.
    const QByteArray contentMd5 =
        body.isEmpty() ? QByteArray("") : QCryptographicHash::hash(body, QCryptographicHash::Md5).toHex();
    const QByteArray toSign = secretKey.toUtf8() + contentMd5 + QByteArray(kContentType) + date.toUtf8();
    const QByteArray signature = QCryptographicHash::hash(toSign, QCryptographicHash::Sha1).toHex();
    const QString prefix = scheme.isEmpty() ? QStringLiteral("VYX-2:") : scheme + QLatin1Char(':');

    request.setRawHeader("Date", date.toUtf8());
    request.setRawHeader("Content-Md5", contentMd5);
    request.setRawHeader("Content-Type", kContentType);
    request.setRawHeader("Authorization", (prefix + accessKey + QLatin1Char(':')).toUtf8() + signature);
    request.setRawHeader("Device-Id", deviceId().toUtf8());
    request.setRawHeader("Device-Name", QHostInfo::localHostName().toUtf8());
}

} // namespace account
} // namespace kesstools

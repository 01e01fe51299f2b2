#include "infocollect.h"

#include "currentuser.h"
#include "exportevent.h"
#include "nettransferservice.h"

#include <krtservices.h>

#include <utility>

QString buildInfoQuery(const QString &modulePath, const QString &action, const QStringList &params)
{
    QString query = QStringLiteral("dm=") + modulePath + QStringLiteral("&action=") + action;
    const std::pair<const char *, int> details[] = {
        {"guid", 4}, {"hdid", 5}, {"uuid", 6}, {"version", 1}, {"channel", 2},
    };
    for (const auto &detail : details)
        query += QLatin1Char('&') + QLatin1String(detail.first) + QLatin1Char('=') + _zda_GetCollectDetail(detail.second);
    query += QStringLiteral("&pnum=") + QString::number(params.size());
    for (int i = 0; i < params.size(); ++i)
        query += QStringLiteral("&p%1=").arg(i + 1) + params.at(i);
    return query;
}

QByteArray encodeInfo(const QByteArray &bytes)
{
    static const char alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_";
    QByteArray encoded;
    encoded.reserve((4 * bytes.size() + 2) / 3);
    quint32 pending = 0;
    int pendingBits = 0;
    for (const char byte : bytes) {
        pending |= quint32(quint8(byte)) << pendingBits;
        pendingBits += 8;
        for (; pendingBits >= 6; pendingBits -= 6, pending >>= 6)
            encoded += alphabet[pending & 63];
    }
    if (pendingBits > 0)
        encoded += alphabet[pending & 63];
    return encoded;
}

void sendInfo(const QString &server, const QString &modulePath, const QString &action, const QStringList &params)
{
    if (krt::product::isDisableGlobalInfocollect())
        return;
    const QByteArray text = buildInfoQuery(modulePath, action, params).toLocal8Bit();
    QString base = server;
    if (!base.contains(QLatin1String("D1S1E1")) && !base.contains(QLatin1String("D1S1E2")))
        base += QStringLiteral("?v=D1S1E2&d=");
    const QByteArray url = base.toLocal8Bit() + encodeInfo(text);
    if (!url.isEmpty())
        NetTransferService::postInfo(url);
}

void sendPdfReport(const QStringList &texts)
{
    const KVYXUserInfo user = currentUserInfo();
    QStringList params{exportComponentType(), user.logined() ? user.userId() : QStringLiteral("-1")};
    params += texts;
    sendInfo(krt::product::serverUrl(QStringLiteral("InfoCollectServer")), QStringLiteral("/vyx/pdf/info"),
             QStringLiteral("click"), params);
}

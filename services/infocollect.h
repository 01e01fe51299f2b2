#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reports to the suite's information-collection server: one HTTP GET whose query carries
// an encoded text of identity and event fields.

// "dm=<module>&action=<action>&guid=..&hdid=..&uuid=..&version=..&channel=..&pnum=<n>&p1=..".
QString buildInfoQuery(const QString &modulePath, const QString &action, const QStringList &params);

// Six bits at a time, least significant bit of the first byte first, to "0-9A-Za-z-_".
QByteArray encodeInfo(const QByteArray &bytes);

// Composes one report and queues it; nothing when the host disables information collection.
void sendInfo(const QString &server, const QString &modulePath, const QString &action, const QStringList &params);

// A report of the PDF component ("/vyx/pdf/info", "click") to the host's collection server,
// with the component and the signed-in user ("-1" for nobody) before the caller's texts.
void sendPdfReport(const QStringList &texts);

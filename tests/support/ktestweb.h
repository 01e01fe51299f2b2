#pragma once

#include "ktestdocuments.h"

#include <kxwebviewcontainer.h>

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// Pages, calls and a small server for tests of the web view and its JavaScript bridge.
namespace ktest {

// A page with the bridge and run(handler, method, args), which leaves the outcome in
// window.out: {ok: true, value} or {ok: false, code}. `script` is the page's own.
inline QByteArray bridgePage(const QByteArray &script = {})
{
    return R"(<!DOCTYPE html><html><head><meta charset="utf-8">
<script src="qrc:/zdaliteweb/js/bridge.js"></script><script>
window.out = null;
function run(handler, method, args) {
  window.out = null;
  kxBridge.call(handler, method, args).then(function (r) { window.out = {ok: true, value: r}; },
                                            function (e) { window.out = {ok: false, code: e.code}; });
}
)" + script + "</script></head><body>bridge</body></html>";
}

// The page's value of `expression`, passed through JSON.
inline QJsonDocument pageJson(KxWebViewContainer &view, const QString &expression)
{
    const QVariant text = view.runJavaScript(QStringLiteral("JSON.stringify(%1)").arg(expression));
    return QJsonDocument::fromJson(text.toString().toUtf8());
}

inline QJsonObject jsonOf(const QVariant &text)
{
    return QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

// Loads and waits; false when nothing finished. Some pages (about:blank) finish inside load().
inline bool loadAndWait(KxWebViewContainer &view, const QUrl &url, bool *ok = nullptr)
{
    QSignalSpy finished(&view, &KxWebViewContainer::loadFinished);
    view.load(url);
    if (finished.isEmpty() && !finished.wait(10000))
        return false;
    if (ok)
        *ok = finished.first().first().toBool();
    return true;
}

// Calls through run() on a bridge page and waits for window.out.
inline QJsonObject callBridge(KxWebViewContainer &view, const QString &handler, const QString &method,
                              const QJsonObject &args = {})
{
    const QJsonArray call{handler, method, args};
    view.runJavaScript(QStringLiteral("run.apply(null, %1)").arg(QString::fromUtf8(QJsonDocument(call).toJson(QJsonDocument::Compact))));
    if (!QTest::qWaitFor([&]() { return view.runJavaScript(QStringLiteral("window.out !== null")).toBool(); }, 5000))
        return QJsonObject{{QStringLiteral("timedOut"), true}};
    return pageJson(view, QStringLiteral("window.out")).object();
}

// Answers "GET /ok" with a page and anything else with 404; keeps each request's head.
class TinyHttpServer : public QTcpServer
{
public:
    QStringList requests;

    TinyHttpServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket]() { answer(socket); });
        });
        listen(QHostAddress::LocalHost);
    }
    QUrl url(const QString &path, const QString &host = QStringLiteral("127.0.0.1")) const
    {
        return QUrl(QStringLiteral("http://%1:%2%3").arg(host).arg(serverPort()).arg(path));
    }

private:
    void answer(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        requests << QString::fromLatin1(buffer);
        const bool ok = buffer.startsWith("GET /ok");
        const QByteArray body = ok ? QByteArray("<html><body>served</body></html>") : QByteArray("missing");
        socket->write((ok ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") + QByteArray("Content-Type: text/html\r\n")
                      + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
        m_buffers.remove(socket);
    }
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

inline QString cookieHeader(const QString &request)
{
    for (const QString &line : request.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QLatin1String("Cookie:"), Qt::CaseInsensitive))
            return line.mid(7).trimmed();
    }
    return QString();
}

} // namespace ktest

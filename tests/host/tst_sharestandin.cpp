// The sharing service stand-in: what it stores, and what it refuses to store.
#include <kxsharestandin.h>

#include "ktestmain.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QtTest>

namespace {
QStringList storedPictures()
{
    QStringList files = QDir(KxShareStandIn::folder()).entryList(QDir::Files);
    files.removeAll(QStringLiteral("uploads.jsonl"));
    return files;
}

// Sends raw bytes and returns the status line of the answer.
QByteArray exchange(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(3000))
        return {};
    socket.write(request);
    QByteArray answer;
    while (!answer.contains("\r\n") && socket.waitForReadyRead(3000))
        answer += socket.readAll();
    return answer.left(answer.indexOf("\r\n"));
}
} // namespace

class TestShareStandIn : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QDir(KxShareStandIn::folder()).removeRecursively();
        QVERIFY(m_server.start(0));
    }

    void cleanup() { m_server.close(); }

    void uploadIsStoredWhole()
    {
        QByteArray bytes(300000, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(m_server.url() + QStringLiteral("/upload")));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
        request.setRawHeader("tavroimagename", "ktavroimage.png");
        QSignalSpy received(&m_server, &KxShareStandIn::received);
        QScopedPointer<QNetworkReply> reply(network.post(request, bytes));
        QTRY_VERIFY(reply->isFinished());
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QCOMPARE(received.count(), 1);
        QFile stored(received.first().at(0).toString());
        QVERIFY(stored.fileName().endsWith(QLatin1String("-ktavroimage.png")));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), bytes);
        QFile log(KxShareStandIn::folder() + QStringLiteral("/uploads.jsonl"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QJsonObject line = QJsonDocument::fromJson(log.readLine()).object();
        QCOMPARE(line.value(QStringLiteral("contentType")).toString(), QStringLiteral("application/octet-stream"));
        QCOMPARE(line.value(QStringLiteral("tavroimagename")).toString(), QStringLiteral("ktavroimage.png"));
        QCOMPARE(line.value(QStringLiteral("size")).toInt(), bytes.size());
    }

    void badRequestsStoreNothing_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("other path") << QByteArray("POST /evil HTTP/1.1\r\nContent-Length: 1\r\n\r\nx") << QByteArray("404");
        QTest::newRow("get") << QByteArray("GET /upload HTTP/1.1\r\n\r\n") << QByteArray("404");
        QTest::newRow("no length") << QByteArray("POST /upload HTTP/1.1\r\n\r\nxyz") << QByteArray("411");
        QTest::newRow("negative length") << QByteArray("POST /upload HTTP/1.1\r\nContent-Length: -5\r\n\r\n") << QByteArray("411");
        QTest::newRow("too large") << QByteArray("POST /upload HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n")
                                   << QByteArray("413");
        QTest::newRow("endless head") << QByteArray("POST /upload HTTP/1.1\r\nX: ") + QByteArray(70000, 'a') << QByteArray("431");
    }

    void badRequestsStoreNothing()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        const QByteArray answer = exchangeAsync(request);
        QVERIFY2(answer.contains(" " + status + " "), answer.constData());
        QVERIFY(storedPictures().isEmpty());
    }

    void namesCannotLeaveTheFolder()
    {
        const QByteArray answer = exchangeAsync(
            "POST /upload HTTP/1.1\r\ntavroimagename: ../../evil.png\r\nContent-Length: 2\r\n\r\nok");
        QVERIFY2(answer.contains(" 200 "), answer.constData());
        const QStringList stored = storedPictures();
        QCOMPARE(stored.size(), 1);
        QVERIFY(stored.first().endsWith(QLatin1String("-evil.png")));
        QVERIFY(!QFileInfo::exists(KxShareStandIn::folder() + QStringLiteral("/../../evil.png")));
    }

private:
    // The server answers on this thread, so the client runs on another.
    QByteArray exchangeAsync(const QByteArray &request)
    {
        QByteArray answer;
        QThread *client = QThread::create([&] { answer = exchange(m_server.serverPort(), request); });
        client->start();
        while (!client->isFinished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        delete client;
        return answer;
    }

    KxShareStandIn m_server;
};

KTAVRO_TEST_MAIN(TestShareStandIn)
#include "tst_sharestandin.moc"

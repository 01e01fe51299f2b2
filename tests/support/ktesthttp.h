#pragma once

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

namespace ktest {

const QByteArray kReportAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_";

// The collection server's reading of an encoded report: six-bit characters, least
// significant bits first, back into bytes; trailing pad bits are dropped.
inline QByteArray decodeReport(const QByteArray &text)
{
    QByteArray bytes;
    quint32 pending = 0;
    int pendingBits = 0;
    for (const char c : text) {
        const int value = kReportAlphabet.indexOf(c);
        if (value < 0)
            return "<not encoded>";
        pending |= quint32(value) << pendingBits;
        pendingBits += 6;
        if (pendingBits >= 8) {
            bytes += char(pending & 0xff);
            pending >>= 8;
            pendingBits -= 8;
        }
    }
    return bytes;
}

// Records every request's target and arrival time and answers 200, except under /hang
// (never answers) and /drop (closes the connection without a word).
struct HttpRecorder : QTcpServer
{
    struct Request { QByteArray target; qint64 arrivedMs; };
    QList<Request> requests;
    QElapsedTimer clock;

    HttpRecorder()
    {
        clock.start();
        connect(this, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path); }
    QByteArray target(int i) const { return requests.at(i).target; }

private:
    void answer(QTcpSocket *socket)
    {
        socket->setProperty("in", socket->property("in").toByteArray() + socket->readAll());
        const QByteArray in = socket->property("in").toByteArray();
        if (!in.contains("\r\n\r\n"))
            return;
        requests << Request{in.split(' ').value(1), clock.elapsed()};
        if (requests.last().target.startsWith("/drop")) {
            socket->abort();
            socket->deleteLater();
        } else if (!requests.last().target.startsWith("/hang")) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
            socket->disconnectFromHost();
        }
    }
};

} // namespace ktest

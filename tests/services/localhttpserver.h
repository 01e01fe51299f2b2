#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// A minimal HTTP server on 127.0.0.1 for the report tests: it records the target of every
// GET in arrival order and answers 200, except for targets under /hang, which it never answers.
class LocalHttpServer
{
public:
    struct Request
    {
        QByteArray target;
        qint64 arrivedMs;
    };

    LocalHttpServer()
    {
        m_clock.start();
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { acceptAll(); });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    const QList<Request> &requests() const { return m_requests; }
    QList<QByteArray> targets() const
    {
        QList<QByteArray> result;
        for (const Request &request : m_requests)
            result << request.target;
        return result;
    }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

private:
    void acceptAll()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void read(QTcpSocket *socket)
    {
        QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
        socket->setProperty("buffer", buffer);
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        const QByteArray target = requestLine.value(1);
        m_requests << Request{target, m_clock.elapsed()};
        if (target.startsWith("/hang"))
            return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QElapsedTimer m_clock;
    QList<Request> m_requests;
};

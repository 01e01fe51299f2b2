#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// The picture sharing service as this host stands in for it: an HTTP receiver on 127.0.0.1
// that takes "POST /upload" and stores the body whole in folder(), named after the
// "tavroimagename" header, with one JSON line per upload in folder()/uploads.jsonl.
// Anything else is answered with an error status and stores nothing.
class KxShareStandIn : public QTcpServer
{
    Q_OBJECT
public:
    explicit KxShareStandIn(QObject *parent = nullptr);
    ~KxShareStandIn() override;

    // Port 0 picks a free one (tests); the host uses krt::product::kShareServicePort.
    bool start(quint16 port);
    QString url() const;
    static QString folder();

    // Requests larger than this are refused (413) without being stored.
    static constexpr qint64 kLargestBody = 64 * 1024 * 1024;

signals:
    // path: the stored file.
    void received(const QString &path, const QByteArray &contentType);

protected:
    void incomingConnection(qintptr handle) override;

private:
    struct Request;
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, int status, const QByteArray &reason, const QByteArray &body = {});
    bool store(const Request &request, QString *path);

    QHash<QTcpSocket *, QByteArray> m_pending;
    int m_count = 0;
};

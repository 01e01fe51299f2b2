#include "kxsharestandin.h"

#include <krtdirs.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTcpSocket>

namespace {
constexpr int kLargestHead = 64 * 1024;

// A stored name from the client's: letters, digits, dot, dash and underscore, no leading dot.
QString safeName(const QByteArray &given)
{
    QString name = QString::fromUtf8(given).section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("upload.bin") : name.left(100);
}
} // namespace

struct KxShareStandIn::Request
{
    QByteArray method;
    QByteArray path;
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
};

KxShareStandIn::KxShareStandIn(QObject *parent) : QTcpServer(parent) {}

KxShareStandIn::~KxShareStandIn() = default;

bool KxShareStandIn::start(quint16 port)
{
    return listen(QHostAddress::LocalHost, port);
}

QString KxShareStandIn::url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

QString KxShareStandIn::folder()
{
    return krt::dirs::brindlexHome() + QStringLiteral("/share");
}

void KxShareStandIn::incomingConnection(qintptr handle)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    m_pending.insert(socket, QByteArray());
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        m_pending.remove(socket);
        socket->deleteLater();
    });
}

void KxShareStandIn::onReadyRead(QTcpSocket *socket)
{
    if (!m_pending.contains(socket))
        return; // answered already; the rest is ignored
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const int headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (buffer.size() > kLargestHead)
            answer(socket, 431, "Request Header Fields Too Large");
        return;
    }
    Request request;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> start = lines.value(0).trimmed().split(' ');
    request.method = start.value(0);
    request.path = start.value(1);
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.insert(lines.at(i).left(colon).trimmed().toLower(), lines.at(i).mid(colon + 1).trimmed());
    }
    if (request.method != "POST" || request.path != "/upload")
        return answer(socket, 404, "Not Found");
    bool numeric = false;
    const qint64 length = request.headers.value("content-length").toLongLong(&numeric);
    if (!numeric || length < 0)
        return answer(socket, 411, "Length Required");
    if (length > kLargestBody)
        return answer(socket, 413, "Payload Too Large");
    if (buffer.size() - headEnd - 4 < length)
        return; // the rest of the body is still coming
    request.body = buffer.mid(headEnd + 4, int(length));
    QString path;
    if (!store(request, &path))
        return answer(socket, 500, "Internal Server Error");
    const QJsonObject reply{{QStringLiteral("name"), QFileInfo(path).fileName()}};
    answer(socket, 200, "OK", QJsonDocument(reply).toJson(QJsonDocument::Compact));
    emit received(path, request.headers.value("content-type"));
}

bool KxShareStandIn::store(const Request &request, QString *path)
{
    if (!QDir().mkpath(folder()))
        return false;
    const QString name = QStringLiteral("%1-%2-%3")
                             .arg(QDateTime::currentMSecsSinceEpoch())
                             .arg(++m_count)
                             .arg(safeName(request.headers.value("tavroimagename")));
    *path = folder() + QLatin1Char('/') + name;
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(request.body) != request.body.size() || !file.commit())
        return false;
    const QJsonObject line{{QStringLiteral("file"), name},
                           {QStringLiteral("contentType"), QString::fromUtf8(request.headers.value("content-type"))},
                           {QStringLiteral("tavroimagename"), QString::fromUtf8(request.headers.value("tavroimagename"))},
                           {QStringLiteral("size"), request.body.size()}};
    QFile log(folder() + QStringLiteral("/uploads.jsonl"));
    return log.open(QIODevice::WriteOnly | QIODevice::Append)
        && log.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n') > 0;
}

void KxShareStandIn::answer(QTcpSocket *socket, int status, const QByteArray &reason, const QByteArray &body)
{
    m_pending.remove(socket);
    const QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
        + "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n";
    socket->write(head + body);
    socket->disconnectFromHost();
}

#include "lumoipc.h"

#include "klumocloudservice.h"

#include <kaccountservice.h>
#include <kxapplication.h>

#include <thrift/TBase.h>
#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/transport/TBufferTransports.h>

#include <QDebug>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QUuid>

using apache::thrift::protocol::TBinaryProtocol;
using apache::thrift::transport::TMemoryBuffer;

namespace {

const char kUploadMethod[] = "uploadFilesToCloud";
const char kUploadArgument[] = "UploadFilesToCloudArg";

bool serialise(const apache::thrift::TBase &data, QByteArray &bytes)
{
    auto buffer = std::make_shared<TMemoryBuffer>();
    TBinaryProtocol protocol(buffer);
    try {
        data.write(&protocol);
    } catch (const std::exception &e) {
        qWarning() << "lumoipc: cannot serialise the argument:" << e.what();
        return false;
    }
    const std::string written = buffer->getBufferAsString();
    bytes = QByteArray(written.data(), static_cast<int>(written.size()));
    return true;
}

// The session is taken on the calling thread: the application object lives there.
KVYXUserInfo signedInUser()
{
    KAccountService *account = KxApplication::coreApplication()->getAccountService();
    return account ? account->userInfo() : KVYXUserInfo();
}

// Lives in the receiver's thread, so the receiver is only looked at there.
QObject *makeRelay(QObject *receiver)
{
    if (!receiver || !receiver->thread())
        return nullptr;
    auto *relay = new QObject;
    relay->moveToThread(receiver->thread());
    return relay;
}

void answer(QObject *relay, QPointer<QObject> receiver, const QByteArray &slot,
            const QString &requestId, const UploadFilesToCloudResult &result)
{
    if (!relay)
        return;
    QMetaObject::invokeMethod(relay, [=] {
        relay->deleteLater();
        if (!receiver)
            return;
        if (!QMetaObject::invokeMethod(receiver, slot.constData(), Qt::DirectConnection,
                                       Q_ARG(QString, requestId), Q_ARG(UploadFilesToCloudResult, result)))
            qWarning() << "lumoipc: the receiver has no slot" << slot << "(QString, UploadFilesToCloudResult)";
    }, Qt::QueuedConnection);
}

} // namespace

QString LumoIpcAsynCallEx(const QString &method, const KLumoIpcArgument &argument,
                          QObject *receiver, const char *slot)
{
    qRegisterMetaType<UploadFilesToCloudResult>("UploadFilesToCloudResult");
    if (method != QLatin1String(kUploadMethod) || qstrcmp(argument.typeName(), kUploadArgument) != 0) {
        qWarning() << "lumoipc: no method" << method << "taking" << argument.typeName();
        return QString();
    }
    QByteArray request;
    if (!serialise(argument.data(), request))
        return QString();

    const QString requestId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const KVYXUserInfo account = signedInUser();
    QObject *relay = makeRelay(receiver);
    const QPointer<QObject> target(receiver);
    const QByteArray slotName(slot ? slot : "");
    QThreadPool::globalInstance()->start([=] {
        answer(relay, target, slotName, requestId, klumocloud::uploadFilesToCloud(request, account));
    });
    return requestId;
}

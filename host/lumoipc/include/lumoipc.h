#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

namespace apache {
namespace thrift {
class TBase;
} // namespace thrift
} // namespace apache

// The cloud service's answer to "uploadFilesToCloud".
struct UploadFilesToCloudResult
{
    enum Code { Ok = 0, PartlyFailed = 1, InvalidRequest = 2, NotSignedIn = 3 };

    int code = Ok;
    QString message;
    // Where each backed-up file now lives, and the local paths that could not be backed up.
    QStringList uploadedFiles;
    QStringList failedFiles;
};
Q_DECLARE_METATYPE(UploadFilesToCloudResult)

// A request argument: a Thrift struct together with the name of its type. It only refers
// to the struct, which must outlive the call it is passed to.
class KLumoIpcArgument
{
public:
    KLumoIpcArgument(const char *typeName, const apache::thrift::TBase &data)
        : m_typeName(typeName), m_data(&data) {}

    const char *typeName() const { return m_typeName; }
    const apache::thrift::TBase &data() const { return *m_data; }

private:
    const char *m_typeName;
    const apache::thrift::TBase *m_data;
};

// Starts `method` in the suite's cloud service. The argument is serialised before this
// returns. When the service is done, the slot named `slot` (no signature) of `receiver` is
// called on the receiver's thread with (QString requestId, UploadFilesToCloudResult), unless
// the receiver is gone by then. Returns the request id, or an empty text when no request was
// made (unknown method or argument type, argument that cannot be serialised).
QString LumoIpcAsynCallEx(const QString &method, const KLumoIpcArgument &argument,
                          QObject *receiver, const char *slot);

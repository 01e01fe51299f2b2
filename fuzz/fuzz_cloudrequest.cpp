#include "fuzzsupport.h"

#include "klumocloudservice.h"

#include <QDir>
#include <QFileInfo>

KFUZZ_INIT

// The request bytes exactly as the cloud service reads them off the IPC.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const KVYXUserInfo account(QStringLiteral("u1"), true);
    static const QString root = QDir(klumocloud::cloudRoot()).absolutePath() + QLatin1Char('/');
    const UploadFilesToCloudResult result = klumocloud::uploadFilesToCloud(kfuzz::bytes(data, size), account);
    if (result.code == UploadFilesToCloudResult::Ok && !result.failedFiles.isEmpty())
        std::abort(); // a failure reported as success
    // Nothing a caller names may land outside the cloud folder.
    for (const QString &file : result.uploadedFiles)
        if (!QFileInfo(file).absoluteFilePath().startsWith(root))
            std::abort();
    return 0;
}

#include "fuzzsupport.h"

#include <kesslaunchinfo.h>

#include <QJsonDocument>
#include <QJsonObject>

KFUZZ_INIT

// The launch map as JSON, a zero byte, then the meta file it points to.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto parts = kfuzz::split(kfuzz::bytes(data, size));
    QVariantMap map = QJsonDocument::fromJson(parts.first).object().toVariantMap();
    if (!parts.second.isEmpty())
        map.insert(QStringLiteral("meteFilePath"), kfuzz::writeFile(QStringLiteral("meta.json"), parts.second));
    const KEssLaunchInfo info = KEssLaunchInfo::fromLaunchMap(map);
    for (const KEssDependency &dependency : info.dependencies)
        if (dependency.name.isEmpty() || dependency.file.isEmpty())
            std::abort();
    return 0;
}

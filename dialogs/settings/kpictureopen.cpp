#include "kpictureopen.h"

#include <exportevent.h>
#include <krtdirs.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

KPictureViewerCommand pictureViewerCommand(const QString &file)
{
    return {krt::dirs::office() + QStringLiteral("/brindlex"),
            {QStringLiteral("view"), QFileInfo(file).absoluteFilePath(),
             QStringLiteral("-src=%1_ktavro").arg(QCoreApplication::applicationName())}};
}

bool openWithPictureViewer(const QString &file)
{
    bool started = false;
    if (!file.isEmpty()) {
        const KPictureViewerCommand command = pictureViewerCommand(file);
        started = QProcess::startDetached(command.program, command.arguments);
    }
    sendExportEvent(QStringLiteral("openphoto"),
                    {{QStringLiteral("result"), started ? QStringLiteral("success") : QStringLiteral("failed")}});
    return started;
}

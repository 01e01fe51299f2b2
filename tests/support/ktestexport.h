#pragma once

#include <kexportimagetask.h>

#include <QImage>
#include <QSignalSpy>
#include <QVariantMap>

namespace ktest {

struct Outcome
{
    KExportImageTask::ExitCode code = KExportImageTask::Failed;
    QVariantMap info;

    QImage picture() const { return QImage(info.value(QStringLiteral("fileName")).toString()); }
};

// Runs one export on the task and waits for its report.
inline Outcome runTask(KExportImageTask &task, const ExportImageOptions &options)
{
    QSignalSpy spy(&task, &KExportImageTask::exportFinished);
    task.startTask(options);
    task.wait();
    Outcome outcome;
    if (spy.count() == 1) {
        outcome.code = spy.at(0).at(0).value<KExportImageTask::ExitCode>();
        outcome.info = spy.at(0).at(1).toMap();
    }
    return outcome;
}

} // namespace ktest

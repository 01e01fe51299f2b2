#pragma once

#include <kexportimagetask.h>

#include <QFileInfo>
#include <QImage>
#include <QSignalSpy>
#include <QVariantMap>

namespace ktest {

struct Outcome
{
    KExportImageTask::ExitCode code = KExportImageTask::Failed;
    QVariantMap info;

    QString text(const char *key) const { return info.value(QLatin1String(key)).toString(); }
    QImage picture() const { return QImage(text("fileName")); }
};

// Runs one export on the task and waits for its report.
inline Outcome runTask(KExportImageTask &task, const ExportImageOptions &options)
{
    QSignalSpy spy(&task, &KExportImageTask::exportFinished);
    task.startTask(options);
    task.wait();
    if (spy.count() != 1)
        return {};
    return {spy.at(0).at(0).value<KExportImageTask::ExitCode>(), spy.at(0).at(1).toMap()};
}

// A long picture in the format its name ends in, or pictures per page named name_NN.png.
inline ExportImageOptions exportOptions(const QString &dir, const QString &name, bool longPicture = true)
{
    ExportImageOptions o;
    o.outputDir = dir;
    o.fileName = name;
    o.longPicture = longPicture;
    if (longPicture && !QFileInfo(name).suffix().isEmpty())
        o.suffix = QFileInfo(name).suffix();
    return o;
}

} // namespace ktest

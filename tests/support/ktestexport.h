#pragma once

#include <kexportimagetask.h>

#include <QFileInfo>
#include <QImage>
#include <QVariantMap>

#include <mutex>

namespace ktest {

struct Outcome
{
    KExportImageTask::ExitCode code = KExportImageTask::Failed;
    QVariantMap info;

    QString text(const char *key) const { return info.value(QLatin1String(key)).toString(); }
    QImage picture() const { return QImage(text("fileName")); }
};

// Runs one export on the task and waits for its report. The report is kept under a standard
// mutex, which the thread checker sees; it does not see Qt's wait for the thread.
inline Outcome runTask(KExportImageTask &task, const ExportImageOptions &options)
{
    std::mutex mutex;
    QList<Outcome> reports;
    const QMetaObject::Connection connection = QObject::connect(
        &task, &KExportImageTask::exportFinished, &task,
        [&](KExportImageTask::ExitCode code, const QVariantMap &info) {
            std::lock_guard<std::mutex> lock(mutex);
            reports.append({code, info});
        },
        Qt::DirectConnection);
    task.startTask(options);
    task.wait();
    std::lock_guard<std::mutex> lock(mutex); // first: the slot is done with its captures
    QObject::disconnect(connection);
    return reports.size() == 1 ? reports.first() : Outcome();
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

#pragma once

#include "kexportimagetask.h"

#include <QObject>

#include <functional>

// Owns the export task of the component the add-on runs in and serialises exports:
// a second one is refused while the first runs. Locks the host shell for the span of
// an export.
class KExportImageMgr : public QObject
{
    Q_OBJECT
public:
    explicit KExportImageMgr(QObject *parent = nullptr);
    // Takes ownership of a task made elsewhere (a renderer the caller chose).
    KExportImageMgr(KExportImageTask *task, QObject *parent);
    ~KExportImageMgr() override;

    // Tells the user why an export cannot start now (title, message).
    using BusyPresenter = std::function<void(const QString &title, const QString &message)>;
    // Replaces the message dialog that says another export is running (a command line
    // prints it instead).
    void setBusyPresenter(BusyPresenter presenter);

    // The host window the export is started from; its document is the one exported.
    void setMainWindow(KxMainWindow *window);
    bool startExport(const ExportImageOptions &options);
    bool isBusy() const;
    void cancel();

    int pageCount();
    qint64 selectedPagesHeight(int limit, const ExportImageOptions &options);
    int pageQuery(int argument);
    QImage previewImage();
    // Spreadsheets: whether the last picture exceeded the host's size limit.
    bool areaTooLarge() const;

signals:
    void exportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo);
    void exportCancel();
    void exportProgress(int done, int total);
    void showTips();

public slots:
    void onLockShell(bool bLock);
    void onExportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo);

private:
    void adoptTask(KExportImageTask *task);

    KExportImageTask *m_task = nullptr;
    BusyPresenter m_busyPresenter;
    bool m_busy = false;
};

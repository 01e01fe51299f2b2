#include "kexportimagemgr.h"

#include "kexportimagetaskqz.h"
#include "ktipsdialog.h"

#include <kxapplication.h>

#include <QWidget>

KExportImageMgr::KExportImageMgr(QObject *parent)
    : QObject(parent)
{
    adoptTask(KExportComponent::current().createTask());
}

KExportImageMgr::KExportImageMgr(KExportImageTask *task, QObject *parent)
    : QObject(parent)
{
    adoptTask(task);
}

KExportImageMgr::~KExportImageMgr()
{
    // The task's destructor cancels and waits, so its thread never outlives it.
    delete m_task;
}

void KExportImageMgr::adoptTask(KExportImageTask *task)
{
    m_task = task;
    if (!m_task)
        return;
    // Handed over as a call with its values captured, not as a queued signal: queuing would
    // copy the exit code through the type registry, whose copy functions stay those of the
    // module that registered it first, gone when a suite unloads the add-on and loads it again.
    connect(
        m_task, &KExportImageTask::exportFinished, this,
        [this](KExportImageTask::ExitCode exitCode, const QVariantMap &exitInfo) {
            QMetaObject::invokeMethod(this, [this, exitCode, exitInfo] { onExportFinished(exitCode, exitInfo); },
                                      Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    connect(m_task, &KExportImageTask::pageProgress, this, &KExportImageMgr::exportProgress, Qt::QueuedConnection);
}

void KExportImageMgr::setBusyPresenter(BusyPresenter presenter)
{
    m_busyPresenter = std::move(presenter);
}

void KExportImageMgr::setMainWindow(KxMainWindow *window)
{
    if (m_task)
        m_task->setMainWindow(window);
}

bool KExportImageMgr::startExport(const ExportImageOptions &options)
{
    if (m_task && !m_task->isRunning() && !m_busy) {
        m_busy = true;
        emit showTips();
        onLockShell(true);
        m_task->startTask(options);
        return true;
    }
    const QString title = tr("Export Image");
    const QString message = tr("Another export task is running,please wait and try again");
    if (m_busyPresenter) {
        m_busyPresenter(title, message);
        return false;
    }
    int buttons = KTipsDialog::OkButton;
    int icon = KTipsDialog::TipsIcon;
    KTipsDialog::showTips(qobject_cast<QWidget *>(parent()), title, message, &buttons, &icon);
    return false;
}

bool KExportImageMgr::isBusy() const
{
    return m_busy || (m_task && m_task->isRunning());
}

void KExportImageMgr::cancel()
{
    if (!m_task)
        return;
    m_task->cancel();
    emit exportCancel();
}

int KExportImageMgr::pageCount()
{
    return m_task ? m_task->pageCount() : 0;
}

qint64 KExportImageMgr::selectedPagesHeight(int limit, const ExportImageOptions &options)
{
    return m_task ? m_task->selectedPagesHeight(limit, options) : 0;
}

int KExportImageMgr::pageQuery(int argument)
{
    return m_task ? m_task->pageQuery(argument) : 0;
}

QImage KExportImageMgr::previewImage()
{
    return m_task ? m_task->previewImage() : QImage();
}

bool KExportImageMgr::areaTooLarge() const
{
    const auto *sheetTask = qobject_cast<const KExportImageTaskQz *>(m_task);
    return sheetTask && sheetTask->areaTooLarge();
}

void KExportImageMgr::onLockShell(bool bLock)
{
    KCoreApplication *app = KxApplication::coreApplication();
    if (bLock)
        app->lockMainWindow();
    else
        app->unlockMainWindow();
    app->setInteractionLocked(bLock);
}

void KExportImageMgr::onExportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo)
{
    // The worker reports just before it returns; let it end so the next export can start
    // as soon as this one is reported.
    if (m_task)
        m_task->wait();
    onLockShell(false);
    m_busy = false;
    emit exportFinished(exitCode, exitInfo);
    KExportImageTask::returnFreedMemory(); // the pictures of the report are gone now
}

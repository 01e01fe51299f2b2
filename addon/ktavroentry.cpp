#include "ktavroentry.h"

#include "kcommandlineexport.h"

#include <kexportdlgrules.h>
#include <kexportimagedialog.h>
#include <kexportimagemgr.h>
#include <kexportpicturedlg.h>
#include <kexportrules.h>
#include <krt.h>
#include <kxmainwindow.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>

namespace {
QPointer<QWidget> g_dialog;
bool g_dialogCancelled = false;

// Editions whose export command opens the compact dialog instead.
bool usesCompactDialog(int edition)
{
    return edition == 0 || edition == 5 || edition == 7;
}
} // namespace

QWidget *KtavroOpenExportDialog(int edition, const QString &savePath, KxMainWindow *hostWindow)
{
    const QString component = QCoreApplication::applicationName();
    if (usesCompactDialog(edition)) {
        auto *dialog = new KExportImageDialog(nullptr, component, QStringLiteral("exportpicture"), savePath,
                                              kexportdlg::compactFormatIndex(savePath));
        dialog->setHostWindow(hostWindow);
        dialog->show();
        return dialog;
    }
    const int formatIndex = savePath.isEmpty()
        ? -1
        : KExportRules::formats().indexOf(KExportRules::formatOf(QFileInfo(savePath).suffix()));
    auto *dialog = new KExportPictureDlg(nullptr, component + QStringLiteral("_exportpicture"), savePath, formatIndex);
    dialog->setHostWindow(hostWindow);
    dialog->show();
    return dialog;
}

int KtavroRunExport(const QVariantMap *request, QVariantMap *result, KtavroProgressFn progress)
{
    if (!request || !result)
        return KCommandLineExport::UsageError;
    KCommandLineExport job(progress);
    *result = job.run(*request);
    return result->value(QStringLiteral("exitCode")).toInt();
}

int KtavroShowExportDialog(const QVariantMap *request, QVariantMap *result)
{
    if (!request || !result)
        return KCommandLineExport::UsageError;
    if (g_dialog) {
        result->insert(QStringLiteral("errTitle"), QStringLiteral("Export Image"));
        result->insert(QStringLiteral("errMsg"), QStringLiteral("Another export task is running,please wait and try again"));
        return KCommandLineExport::Failed;
    }
    auto *host = qobject_cast<KxMainWindow *>(request->value(QStringLiteral("mainWindow")).value<QObject *>());
    QWidget *dialog = KtavroOpenExportDialog(krt::product::versionID(), request->value(QStringLiteral("output")).toString(), host);
    g_dialog = dialog;
    g_dialogCancelled = false;
    QEventLoop loop;
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    return g_dialogCancelled ? KCommandLineExport::Canceled : KCommandLineExport::Success;
}

void KtavroCancelExport()
{
    KCommandLineExport::cancelRunning();
    // An open dialog stops its export (removing what it wrote) and closes.
    if (!g_dialog)
        return;
    g_dialogCancelled = true;
    if (auto *compact = qobject_cast<KExportImageDialog *>(g_dialog.data())) {
        compact->cancelAndClose();
        return;
    }
    if (auto *full = qobject_cast<KExportPictureDlg *>(g_dialog.data())) {
        if (KExportPictureClientWidget *client = full->client()) {
            if (client->manager()->isBusy())
                client->onCancelExport();
        }
    }
    g_dialog->close();
}

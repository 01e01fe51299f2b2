#include "ktavroentry.h"

#include "kcommandlineexport.h"
#include "kexportentrysteps.h"
#include "ktavromodule.h"

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
QPointer<KExportPictureDlg> g_dialog;
bool g_dialogCancelled = false;
} // namespace

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
    const int edition = krt::product::versionID();
    if (KExportEntrySteps::usesCompactDialog(edition)) {
        result->insert(QStringLiteral("errTitle"), QStringLiteral("Export dialog"));
        result->insert(QStringLiteral("errMsg"),
                       QStringLiteral("Edition %1 uses the compact export dialog, which is not available yet; "
                                      "export without --dialog")
                           .arg(edition));
        return KCommandLineExport::UsageError;
    }
    if (g_dialog) {
        result->insert(QStringLiteral("errTitle"), QStringLiteral("Export Image"));
        result->insert(QStringLiteral("errMsg"), QStringLiteral("Another export task is running,please wait and try again"));
        return KCommandLineExport::Failed;
    }
    KTavroModule::ensureStarted();
    const QString savePath = request->value(QStringLiteral("output")).toString();
    const int formatIndex = savePath.isEmpty()
        ? -1
        : KExportRules::formats().indexOf(KExportRules::formatOf(QFileInfo(savePath).suffix()));
    auto *dialog = new KExportPictureDlg(nullptr, QCoreApplication::applicationName() + QStringLiteral("_exportpicture"),
                                         savePath, formatIndex);
    dialog->setHostWindow(qobject_cast<KxMainWindow *>(request->value(QStringLiteral("mainWindow")).value<QObject *>()));
    g_dialog = dialog;
    g_dialogCancelled = false;
    QEventLoop loop;
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog->show();
    loop.exec();
    return g_dialogCancelled ? KCommandLineExport::Canceled : KCommandLineExport::Success;
}

void KtavroCancelExport()
{
    KCommandLineExport::cancelRunning();
    // An open dialog stops its export (removing what it wrote) and closes.
    if (g_dialog) {
        g_dialogCancelled = true;
        if (KExportPictureClientWidget *client = g_dialog->client()) {
            if (client->manager()->isBusy())
                client->onCancelExport();
        }
        g_dialog->close();
    }
}

#include "ktavroentry.h"

#include "kcommandlineexport.h"
#include "kexportentrysteps.h"
#include "ktavromodule.h"

#include <kexportimagedialog.h>
#include <kexportimagemgr.h>
#include <kexportpicturedlg.h>
#include <krt.h>
#include <ktavrotranslation.h>
#include <kxmainwindow.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

namespace {
QPointer<QWidget> g_dialog;
bool g_dialogCancelled = false;
} // namespace


int KtavroShowExportDialog(const QVariantMap *request, QVariantMap *result)
{
    if (!request || !result)
        return KCommandLineExport::UsageError;
    const KTavroTranslation translation;
    if (g_dialog) {
        result->insert(QStringLiteral("errTitle"), QCoreApplication::translate("KExportImageMgr", "Export Image"));
        result->insert(QStringLiteral("errMsg"), QCoreApplication::translate("KExportImageMgr", "Another export task is running,please wait and try again"));
        return KCommandLineExport::Failed;
    }
    KTavroModule::ensureStarted();
    auto *host = qobject_cast<KxMainWindow *>(request->value(QStringLiteral("mainWindow")).value<QObject *>());
    QWidget *dialog = KExportEntrySteps::showDialog(host, KExportEntrySteps::componentName(), QStringLiteral("exportpicture"),
                                                    request->value(QStringLiteral("output")).toString());
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

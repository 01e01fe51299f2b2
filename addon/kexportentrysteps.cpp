#include "kexportentrysteps.h"

#include "ktavromodule.h"

#include <exportevent.h>
#include <kexportdlgrules.h>
#include <kexportimagedialog.h>
#include <kexportpicturedlg.h>
#include <krt.h>
#include <kxmainwindow.h>

#include <QCoreApplication>
#include <QRandomGenerator>

namespace KExportEntrySteps {

QString componentName()
{
    const QString app = QCoreApplication::applicationName();
    if (app.compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        const bool standalone = krt::configs::getRawConfig(QStringLiteral("Support/VYXPDFStandalone"))
                                    .compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        return standalone ? QStringLiteral("pdf_co") : QStringLiteral("pdf");
    }
    if (app.compare(QLatin1String("vyx"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("writer");
    return app.toLower();
}

int initialFormat(const QString &proposedFileName, bool compactDialog)
{
    if (proposedFileName.isEmpty())
        return compactDialog ? 1 : -1;
    return kexportdlg::compactFormatIndex(proposedFileName);
}

bool usesCompactDialog(int edition)
{
    return edition == 0 || edition == 5 || edition == 7;
}

bool shouldReportStart(const QString &entry, int draw)
{
    if (entry != QLatin1String("PdfDocEntry"))
        return true;
    if (krt::product::isSupported(QStringLiteral("DisableGlobalInfoCollect")))
        return false;
    return draw >= 95;
}

bool openExportDialog(KxMainWindow *window, const QString &component, const QString &entry,
                      const QString &proposedFileName)
{
    if (shouldReportStart(entry, int(QRandomGenerator::global()->bounded(100))))
        sendExportEvent(QStringLiteral("start"), {{QStringLiteral("from"), entry}});
    KTavroModule::ensureStarted();
    return showDialog(window, component, entry, proposedFileName) != nullptr;
}

QWidget *showDialog(KxMainWindow *window, const QString &component, const QString &entry,
                    const QString &proposedFileName)
{
    const bool compact = usesCompactDialog(krt::product::versionID());
    const int format = initialFormat(proposedFileName, compact);
    QWidget *shown = nullptr;
    if (compact) {
        auto *dialog = new KExportImageDialog(nullptr, component, entry, proposedFileName, format);
        dialog->setHostWindow(window);
        shown = dialog;
    } else {
        auto *dialog = new KExportPictureDlg(nullptr, QStringLiteral("%1_%2").arg(component, entry), proposedFileName, format);
        dialog->setHostWindow(window);
        shown = dialog;
    }
    shown->show();
    return shown;
}

} // namespace KExportEntrySteps

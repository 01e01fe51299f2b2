#include "kexportentrysteps.h"

#include "ktavromodule.h"

#include <exportevent.h>
#include <kexportpicturedlg.h>
#include <krt.h>
#include <kxmainwindow.h>

#include <QCoreApplication>
#include <QFileInfo>
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
    const QString suffix = QFileInfo(proposedFileName).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return 0;
    if (suffix == QLatin1String("bmp"))
        return 2;
    if (suffix == QLatin1String("tif"))
        return 3;
    return 1;
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

    const bool compact = usesCompactDialog(krt::product::versionID());
    const int format = initialFormat(proposedFileName, compact);
    if (compact)
        return false; // the compact dialog is wired in with its class
    auto *dialog = new KExportPictureDlg(nullptr, QStringLiteral("%1_%2").arg(component, entry), proposedFileName, format);
    dialog->setHostWindow(window);
    dialog->show();
    return true;
}

} // namespace KExportEntrySteps

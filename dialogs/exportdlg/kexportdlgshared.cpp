#include "kexportdlgshared.h"

#include "kexportdlgrules.h"

#include <infocollect.h>
#include <kdocumentaccess.h>
#include <kexportimagemgr.h>
#include <kexportpaths.h>
#include <kexportrules.h>
#include <kexportsettings.h>
#include <kpictureopen.h>
#include <ktavrocloudhelper.h>
#include <ktipsdialog.h>
#include <kexportwidgetstyle.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>

#include <algorithm>

namespace {
KExportDialogHooks g_hooks;
const char *const kFormatNames[kexportsettings::kFormatCount] = {"jpg", "png", "bmp", "tif"};
} // namespace

void kexportdlgshared::setHooks(const KExportDialogHooks &hooks)
{
    g_hooks = hooks;
}

int kexportdlgshared::tips(QWidget *parent, const QString &title, const QString &text, int buttons, int extraWidth)
{
    if (g_hooks.tips)
        return g_hooks.tips(parent, title, text, buttons);
    int icon = KTipsDialog::TipsIcon;
    return KTipsDialog::showTips(parent, title, text, &buttons, &icon, extraWidth);
}

bool kexportdlgshared::openUrl(const QUrl &url)
{
    return g_hooks.openUrl ? g_hooks.openUrl(url) : QDesktopServices::openUrl(url);
}

bool kexportdlgshared::openPicture(const QString &file)
{
    return g_hooks.openPicture ? g_hooks.openPicture(file) : openWithPictureViewer(file);
}

QString kexportdlgshared::formatSuffix(int formatIndex)
{
    return QLatin1String(kFormatNames[std::max(0, std::min(formatIndex, kexportsettings::kFormatCount - 1))]);
}

void kexportdlgshared::uploadToCloud(const QString &fileName, bool singleFile)
{
    const QString folder = QCoreApplication::translate("KExportPictureClientWidget", "cloudapp/ktavro");
    if (singleFile)
        KTavroCloudHelper::instance()->uploadFile(fileName, folder);
    else
        KTavroCloudHelper::instance()->uploadFolder(QFileInfo(fileName).absolutePath(), folder);
}

bool kexportdlgshared::confirmPdfHeight(QWidget *parent, KExportImageMgr *manager, int pageCount,
                                        const ExportImageOptions &options)
{
    const bool tooTall = kexportdlg::pdfLongPictureTooTall(
        pageCount, [&](int pages) { return manager->selectedPagesHeight(pages, options); });
    if (!tooTall)
        return true;
    sendPdfReport({QStringLiteral("PDF2photo|Over20Page|Popup")});
    const int answer = tips(parent, QCoreApplication::translate("KExportPictureClientWidget", "Out of range"),
                            QCoreApplication::translate("KExportPictureClientWidget",
                                                        "system will be composed with %1 pages as a long graph.")
                                .arg(20),
                            KTipsDialog::OkButton);
    if (answer == KTipsDialog::ResultClosed) {
        sendPdfReport({QStringLiteral("PDF2photo|Over20Page|Close")});
        return false;
    }
    sendPdfReport({QStringLiteral("PDF2photo|Over20Page|Confirm")});
    return true;
}

void kexportdlgshared::prepareOptions(ExportImageOptions &options, const QString &outputPath, bool singleFile,
                                      const KExportComponent &component, KxMainWindow *hostWindow)
{
    const QFileInfo out(outputPath);
    options.outputDir = out.absolutePath();
    options.fileName = out.fileName();
    options.preview = false;
    if (!singleFile) {
        // Pictures per page (and every PDF export) go into a new folder beside the chosen one.
        if (out.isDir())
            options.outputDir = outputPath;
        options.fileName = KExportRules::baseName(KExportPaths::documentName(), component, QDateTime::currentDateTime());
    }
    if (component.preparesWriterDocument) {
        kdocumentaccess::prepareWriterExport(hostWindow);
        options.exportInCaller = kdocumentaccess::writerRendersInCaller(hostWindow);
    }
}

QCheckBox *kexportdlgshared::makeBackupBox(QWidget *parent)
{
    auto *box = new QCheckBox(QCoreApplication::translate("KExportPictureClientWidget", "Backup to cloud disk"), parent);
    box->setFont(kexportwidgets::uiFont(12));
    const QString icons = QStringLiteral(":kexportpic/shape/svg/16x16/");
    box->setStyleSheet(QStringLiteral("QCheckBox::indicator{width:%1px;height:%1px;}"
                                      "QCheckBox::indicator:unchecked{image:url(%2checkbox-normal.svg);}"
                                      "QCheckBox::indicator:checked{image:url(%2checkbox-checked.svg);}")
                           .arg(kexportwidgets::scaled(16))
                           .arg(icons));
    const bool cloud = KTavroCloudHelper::isCloudBackupAvailable();
    box->setEnabled(cloud);
    box->setVisible(cloud);
    return box;
}

#include "kxexporttavroimagecommand.h"

#include "kcommandsupport.h"
#include "kexportentrysteps.h"
#include "kxexporttavroimageobject.h"

#include <kapptranslators.h>
#include <kexceptionguard.h>
#include <kexportimagemgr.h>
#include <krt.h>
#include <kxapplication.h>

#include <QCoreApplication>
#include <QTranslator>

namespace {
krt::KAppTranslators *translators()
{
    return QCoreApplication::instance() ? KCoreApplication::translator() : nullptr;
}

bool exportFeatureSupported()
{
    static const bool supported = krt::product::isSupported(QStringLiteral("EnableExportPicture"));
    return supported;
}
} // namespace

KxExportTavroImageCommand::KxExportTavroImageCommand(KxMainWindow *host, const QVariant &argument)
    : KxTavroCommand(host, argument)
    , m_translator(new QTranslator(this))
    , m_manager(new KExportImageMgr(this))
{
    if (krt::KAppTranslators *registry = translators())
        registry->installTranslation(KxExportTavroImageObject::translationFolder(), {QStringLiteral("ktavro.qm")});
}

KxExportTavroImageCommand::~KxExportTavroImageCommand()
{
    if (krt::KAppTranslators *registry = translators())
        registry->uninstallTranslation(KxExportTavroImageObject::translationFolder());
}

void KxExportTavroImageCommand::update()
{
    const bool cloudEntryInPdf = property("detail").toString() == QLatin1String("CloudSvr")
        && kcommandsupport::isComponent("pdf");
    setVisible(exportFeatureSupported() && !cloudEntryInPdf);
    if (!isVisible()) {
        setEnabled(false);
        return;
    }
    KCoreApplication *app = KxApplication::coreApplication();
    bool enabled = kcommandsupport::hasActiveDocument(this) && !isDisableByIdMso() && !KMBUtils::IsDocBusy(app);
    if (enabled && kcommandsupport::isComponent("vyd")) {
        m_manager->setMainWindow(mainWindow());
        enabled = m_manager->pageCount() >= 1;
    }
    setEnabled(enabled);
}

KCommand *KxExportTavroImageCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

void KxExportTavroImageCommand::onTriggered()
{
    KExceptionGuard guard("KxExportTavroImageCommand");
    openExport(KExportEntrySteps::componentName());
}

bool KxExportTavroImageCommand::exportAllowed() const
{
    KCoreApplication *app = KxApplication::coreApplication();
    return KMBUtils::FireDocOperationEnable(app, 2) && KMBUtils::FireDocSaveAsEnable(app);
}

bool KxExportTavroImageCommand::openExport(const QString &component)
{
    if (!exportAllowed())
        return false;
    return KExportEntrySteps::openExportDialog(mainWindow(), component, property("detail").toString(),
                                               property("SaveAsFilename").toString());
}

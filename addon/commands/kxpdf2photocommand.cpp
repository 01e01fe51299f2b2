#include "kxpdf2photocommand.h"

#include "kcommandsupport.h"
#include "kexportentrysteps.h"

#include <kexceptionguard.h>
#include <kxapplication.h>

KxPdf2PhotoCommand::KxPdf2PhotoCommand(KxMainWindow *host, const QVariant &argument)
    : KTriggerCommand(host, argument)
{
}

void KxPdf2PhotoCommand::update()
{
    const bool pdf = kcommandsupport::isComponent("pdf");
    setVisible(pdf);
    setEnabled(pdf);
}

KCommand *KxPdf2PhotoCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

void KxPdf2PhotoCommand::onTriggered()
{
    KExceptionGuard guard("KxPdf2PhotoCommand");
    if (!KMBUtils::FireDocSaveAsEnable(KxApplication::coreApplication()) || !kcommandsupport::isComponent("pdf"))
        return;
    const QString named = property("componentname").toString();
    const QString component = named.isEmpty() ? KExportEntrySteps::componentName() : named;
    KExportEntrySteps::openExportDialog(kcommandsupport::mainWindowOf(this), component, property("detail").toString(),
                                        QString());
}

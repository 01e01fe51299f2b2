#include "kxfilemenuexporttavroimagecommand.h"

#include "kcommandsupport.h"

#include <QPointer>

KxFileMenuExportTavroImageCommand::KxFileMenuExportTavroImageCommand(KxMainWindow *host, const QVariant &argument)
    : KxFileMenuInfoCollectBase<KxExportTavroImageCommand>(host, argument)
{
}

void KxFileMenuExportTavroImageCommand::trigger()
{
    const QPointer<KxFileMenuExportTavroImageCommand> self(this);
    KTriggerCommand::trigger();
    if (self)
        collectFileMenuInfo(m_infoId);
}

KCommand *KxFileMenuExportTavroImageCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

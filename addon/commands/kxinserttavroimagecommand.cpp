#include "kxinserttavroimagecommand.h"

#include "kcommandsupport.h"

#include <kexceptionguard.h>
#include <khostcommands.h>

KCommand *KxInsertTavroImageCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

void KxInsertTavroImageCommand::onTriggered()
{
    KExceptionGuard guard("KxInsertTavroImageCommand");
    if (kcommandsupport::isComponent("vyx") || kcommandsupport::isComponent("vyd"))
        KHostCommands::execute(QStringLiteral("InsertPictureFromFile"), host());
}

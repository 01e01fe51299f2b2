#include "kxtavrolistcommand.h"

#include "kcommandsupport.h"

KxTavroListCommand::KxTavroListCommand(KxMainWindow *host, const QVariant &argument)
    : KListCommand(host, argument)
{
}

KCommand *KxTavroListCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}


#include "kxopenwebtavrocommand.h"

#include "kcommandsupport.h"

#include <kexceptionguard.h>
#include <krtservices.h>
#include <kshell.h>

KCommand *KxOpenWebTavroCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

void KxOpenWebTavroCommand::onTriggered()
{
    KExceptionGuard guard("KxOpenWebTavroCommand");
    KShell::open(krt::product::shareServiceUrl() + QLatin1Char('/'));
}

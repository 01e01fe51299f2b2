#include "kxvyxtavrocontext.h"

#include "kcommandsupport.h"

KxVyxTavroContext::KxVyxTavroContext(KxMainWindow *host, const QVariant &argument)
    : KxContextCategory(host, argument)
{
    setContextName(tr("VyxTavro"));
}

KCommand *KxVyxTavroContext::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

// The command line's export, in the small module brindlex export loads: the export engine
// and what the request needs, none of the dialogs, services or framework start-up. The
// full module links this one, so both run the same engine.
#include "kcommandlineexport.h"
#include "ktavroentry.h"

int KtavroRunExport(const QVariantMap *request, QVariantMap *result, KtavroProgressFn progress)
{
    if (!request || !result)
        return KCommandLineExport::UsageError;
    KCommandLineExport job(progress);
    *result = job.run(*request);
    return result->value(QStringLiteral("exitCode")).toInt();
}

// The full module has its own, which closes an open dialog as well.
void KtavroCancelExport()
{
    KCommandLineExport::cancelRunning();
}

#include "ktavroentry.h"

#include "kcommandlineexport.h"

int KtavroRunExport(const QVariantMap *request, QVariantMap *result, KtavroProgressFn progress)
{
    if (!request || !result)
        return KCommandLineExport::UsageError;
    KCommandLineExport job(progress);
    *result = job.run(*request);
    return result->value(QStringLiteral("exitCode")).toInt();
}

void KtavroCancelExport()
{
    KCommandLineExport::cancelRunning();
}

#pragma once

#include <QVariantMap>
#include <QtGlobal>

// Functions the host resolves in the module by name.
extern "C" {
typedef void (*KtavroProgressFn)(int done, int total);

// Runs one export of the host's active document as a request describes it (the
// command line's options, as text) and fills the result map, "exitCode" included.
Q_DECL_EXPORT int KtavroRunExport(const QVariantMap *request, QVariantMap *result, KtavroProgressFn progress);
// Cancels the export KtavroRunExport is running, if any; safe from the interface thread.
Q_DECL_EXPORT void KtavroCancelExport();
}

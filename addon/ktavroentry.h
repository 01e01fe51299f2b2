#pragma once

#include <QVariantMap>
#include <QtGlobal>

// Functions the host resolves in the module by name.
extern "C" {
typedef void (*KtavroProgressFn)(int done, int total);

// Runs one export of the host's active document as a request describes it (the
// command line's options, as text) and fills the result map, "exitCode" included.
Q_DECL_EXPORT int KtavroRunExport(const QVariantMap *request, QVariantMap *result, KtavroProgressFn progress);
// Shows the export dialog of the host's edition for the active document and returns when it
// has closed; the request names the document, its host window ("mainWindow") and optionally a
// Save-As path ("output"). Fills the result map on a refusal; returns the exit status.
Q_DECL_EXPORT int KtavroShowExportDialog(const QVariantMap *request, QVariantMap *result);
// Cancels the export KtavroRunExport is running, if any; safe from the interface thread.
Q_DECL_EXPORT void KtavroCancelExport();
}

#pragma once

#include <kpdfdocument.h>
#include <kpresentation.h>
#include <kspreadsheet.h>
#include <kunknown.h>
#include <kwriterdocument.h>

class KxMainWindow;

// Walks from the host's active document to the interfaces the export tasks use. Every
// object on the way is released again; a missing link gives null.
namespace kdocumentaccess {

// Main window (the one the export was started from) → MDI area → current sub-window →
// active core view.
KComPtr<IKUnknown> activeCoreView(KxMainWindow *window);

KComPtr<IKWriterDocument> activeWriterDocument(KxMainWindow *window);
// Document → active view → print layout (kind 1) → page renderer.
KComPtr<IKPageRenderer> writerPageRenderer(const KComPtr<IKWriterDocument> &document);
// Document → settings → page setup → spacing; kDocSpacingUnset when unavailable.
float writerDocSpacing(const KComPtr<IKWriterDocument> &document);
// Whether the writer document must be rendered on the interface thread.
bool writerRendersInCaller(KxMainWindow *window);
// Lets the document bring its layout up to date before an export.
void prepareWriterExport(KxMainWindow *window);

// The application's document as a PDF document.
KComPtr<IKPdfDocument> activePdfDocument();

// Presentation application → active presentation → slide collection.
KComPtr<IKSlides> activeSlides();

// Spreadsheet application → active workbook, and its active sheet.
KComPtr<IKWorkbook> activeWorkbook();
KComPtr<IKWorksheet> activeSheet(const KComPtr<IKWorkbook> &workbook);

} // namespace kdocumentaccess

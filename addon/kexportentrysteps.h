#pragma once

#include <QString>

class KxMainWindow;
class QWidget;

// What the entry object and the export commands do alike once the host allowed the request:
// name the component, report the start, set up the add-on, pick the initial format and open
// the dialog the edition uses.
namespace KExportEntrySteps {

// "writer" for the writer, "pdf_co" for a standalone PDF installation, else the application
// name; always lower-case.
QString componentName();
// Format index a proposed file name's suffix selects (jpg/jpeg 0, png 1, bmp 2, tif 3, other 1);
// with no proposed name 1 for the compact dialog and -1 (none) for the full one.
int initialFormat(const QString &proposedFileName, bool compactDialog);
// Editions 0, 5 and 7 use the compact export dialog.
bool usesCompactDialog(int edition);
// Whether a start from this entry point is reported: every entry but "PdfDocEntry", which is
// sampled (one call in twenty) and never reported where the product disables collection.
// draw: a uniform number 0..99.
bool shouldReportStart(const QString &entry, int draw);

// Steps after the host's permission checks: the "start" report, the add-on's start-up and the
// dialog, shown at once and owning itself. Returns false when no dialog could be opened.
bool openExportDialog(KxMainWindow *window, const QString &component, const QString &entry,
                      const QString &proposedFileName);
// The dialog alone: compact or full by the edition, shown without waiting; it deletes itself
// when closed.
QWidget *showDialog(KxMainWindow *window, const QString &component, const QString &entry,
                    const QString &proposedFileName);

} // namespace KExportEntrySteps

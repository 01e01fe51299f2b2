#pragma once

class QCheckBox;

#include <QString>
#include <QUrl>

#include <functional>

class KExportImageMgr;
class KxMainWindow;
class QWidget;
struct ExportImageOptions;
struct KExportComponent;

// How the export dialogs talk to the user and the desktop. Tests replace them so that no
// modal window waits; an empty member keeps the real one.
struct KExportDialogHooks
{
    // Shows a KTipsDialog with the KTipsDialog button mask; returns its result code.
    std::function<int(QWidget *parent, const QString &title, const QString &text, int buttons)> tips;
    std::function<bool(const QUrl &url)> openUrl;
    std::function<bool(const QString &file)> openPicture;
};

// What both export dialogs do the same way once an export is set up or done.
namespace kexportdlgshared {
void setHooks(const KExportDialogHooks &hooks);

// A KTipsDialog (extraWidth widens its window) or the hook in its place.
int tips(QWidget *parent, const QString &title, const QString &text, int buttons, int extraWidth = 0);
bool openUrl(const QUrl &url);
// The suite's picture viewer; false when it did not start.
bool openPicture(const QString &file);

// "jpg", "png", "bmp", "tif" for the format indexes 0..3; an index outside is clamped.
QString formatSuffix(int formatIndex);

// Backs the export up into "cloudapp/ktavro": the picture itself, or the folder holding it.
void uploadToCloud(const QString &fileName, bool singleFile);
// The "Backup to cloud disk" box, shown (and enabled) only where cloud backup is available.
QCheckBox *makeBackupBox(QWidget *parent);

// A PDF long picture taller than the limit asks first (and reports the question and the
// answer); false when the user closed the question.
bool confirmPdfHeight(QWidget *parent, KExportImageMgr *manager, int pageCount, const ExportImageOptions &options);

// Fills where and how the export writes: the folder and name from the output path (a new
// folder named after the document unless one file is written), the format and resolution;
// a writer document is prepared first.
void prepareOptions(ExportImageOptions &options, const QString &outputPath, bool singleFile,
                    const KExportComponent &component, KxMainWindow *hostWindow);
} // namespace kexportdlgshared

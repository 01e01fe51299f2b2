#pragma once

#include <exportimageoptions.h>
#include <kexportcomponent.h>
#include <kxcolor.h>
#include <pagerange.h>

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

// The export picture dialog's decisions that depend on its choices only, apart from its
// widgets so that they can be checked without a window.
namespace kexportdlg {

constexpr int kQualityCount = 4;
// 96, 192, 288, 576; an index outside the list counts as 96.
int dpiForQualityIndex(int index);
int percentForQualityIndex(int index);
// The highest quality index the quality list offers for the choice.
int highestQualityIndex(const KExportComponent &component, bool longPicture);
// The quality list after a change of choice: rows above the highest index removed, missing
// ones up to it appended in index order.
QList<int> refilledQualities(const QList<int> &current, int highest);

bool marginsLinkVisible(const KExportComponent &component, bool longPicture);
bool offersPageRange(const KExportComponent &component, int pageCount);
bool offersLongPicture(int pageCount);

// A4 height at 96 dots per inch, twenty times: the tallest long picture of a PDF that is
// composed without asking.
qint64 pdfLongHeightLimit();
// Whether the pages a PDF long picture would stack exceed the limit: the first 30 pages,
// then 50, 70, ... until the page count is reached. height(n) is the height of the first
// n selected pages.
bool pdfLongPictureTooTall(int pageCount, const std::function<qint64(int pages)> &height);

// Where the pictures go: the chosen folder, else the folder of the current path, else the
// default folder, the saved output path's folder (when it exists) and the document's
// folder, each replacing the one before when it applies. Native, ending in a separator.
struct OutputFolderSources
{
    QString chosen;
    QString current;
    QString defaultFolder;
    QString savedOutputPath;
    QString documentPath;
};
QString outputFolder(const OutputFolderSources &sources);

// The fields of the "begin" and "end" usage events.
struct EventChoices
{
    int watermark = 0; // 0 none, 1 custom, 2 default
    bool longPicture = true;
    QString suffix;
    int qualityIndex = 1;
    bool backup = false;
    bool range = false;
};
QHash<QString, QString> beginEventFields(const EventChoices &choices);
QHash<QString, QString> endEventFields(const EventChoices &choices, bool success, const QString &pageCount);

// Removes what an export wrote: the picture of a single-file export, or the folder the
// export made for its pictures. Refuses anything else (an empty name, the output folder
// itself or a folder that is not directly inside it), so that no file of the user's goes.
bool deleteExportOutput(const QString &fileName, bool singleFile, const QString &outputDir);

// The compact dialog's format for a proposed file name: jpg or jpeg 0, png 1, bmp 2, tif 3,
// anything else (and no name) 1.
int compactFormatIndex(const QString &proposedName);

// The compact dialog's long-picture page limit over all pages (not for a PDF, whose height
// decides). extraWidth widens the message window for the longer first text.
struct CompactRefusal
{
    QString title;
    QString text;
    int extraWidth = 0;
    bool isSet() const { return !title.isEmpty(); }
};
CompactRefusal compactLongPageLimit(const KExportComponent &component, int qualityIndex, int pageCount);

// The backup box's first state: the stored choice, else whether the user is logged in;
// never checked while backup is unavailable.
enum class StoredChoice { None, Off, On };
bool initialBackup(bool available, StoredChoice stored, bool loggedIn);

// The watermark the host reports for the open document, passed on as it is.
struct DocumentWatermark
{
    bool reported = false;
    QString text;
    QString font;
    KxColor color;
    float value1 = 0.0f;
    float value2 = 0.0f;
    float value3 = 0.0f;
    qint32 value4 = 0;
    bool rotate = false;
};
// The compact dialog's text watermark in the options: off without a text in force;
// otherwise the typed text with the host's look, or the light grey slanted default.
void applyTextWatermark(ExportImageOptions &options, bool inForce, const QString &text, const DocumentWatermark &host);

} // namespace kexportdlg

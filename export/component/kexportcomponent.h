#pragma once

#include <QString>

class KExportImageTask;

// What differs between the components the add-on runs in, in one row per component.
// Looked up once from the application name; nothing else compares application names.
struct KExportComponent
{
    enum Kind { Writer, Presentation, Spreadsheet, Pdf, Unknown };

    Kind kind;
    const char *name;      // the application name, lower case
    const char *eventName; // the component as usage events name it
    bool longPictureByDefault;
    bool offersEachPage;
    // Long pictures are written as parts of at most pagesPerPart pages into a numbered folder.
    bool longPictureInParts;
    int pagesPerPart;
    // A long picture holds at most this many pages (at 100 %, and above); 0 for no limit.
    int longPageLimit;
    int longPageLimitAboveCommon;
    int highestLongQuality; // percent
    // The writer document is prepared first and may be rendered on the calling thread.
    bool preparesWriterDocument;
    // The whole document is one painted picture, with its own count text.
    bool paintsWholeSheet;
    bool wideWatermarkWhenLong;
    // The page spacing dialog offers the gap between pages.
    bool offersPageGap;
    // The export dialog: the highest quality (percent) it offers for a long picture, and
    // whether it offers the page spacing of a long picture.
    int highestDialogLongQuality;
    bool offersMarginsSetting;
    // Folder-name stem of a document without a name: the prefix and the time of the export.
    const char *untitledPrefix;
    KExportImageTask *(*createTask)();

    bool isKnown() const { return kind != Unknown; }
    bool writesSingleFile(bool longPicture) const { return longPicture && !longPictureInParts; }
    // The pages a long picture may hold at the given resolution, or 0 for no limit.
    int longPageLimitAt(int dpi) const { return dpi <= 96 ? longPageLimit : longPageLimitAboveCommon; }

    // The row for an application name in any case; the Unknown row for anything else.
    static const KExportComponent &forApplication(const QString &applicationName);
    // The row for the running application.
    static const KExportComponent &current();
    static const KExportComponent &of(Kind kind);
};

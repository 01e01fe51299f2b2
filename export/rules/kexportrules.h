#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

struct KExportComponent;

// What an export may be asked for and how its output is named, shared by the export
// dialogs and the command line. Pure: nothing here reads or writes files.
class KExportRules
{
    Q_DECLARE_TR_FUNCTIONS(KExportRules)
public:
    // Formats, as the option record names them.
    static const QStringList &formats();
    // The format a name stands for in any case, "jpeg" and "tiff" being "jpg" and "tif";
    // "" for anything else.
    static QString formatOf(const QString &name);
    // Qt's writer format for a picture suffix, or empty for anything else.
    static QByteArray formatForSuffix(const QString &suffix);

    // Largest side a JPEG file can describe.
    static constexpr int kJpegMaxSide = 65535;
    // Largest side the PNG library accepts by default, reading or writing.
    static constexpr int kPngMaxSide = 1000000;
    // Why a picture of this size cannot be encoded in the writer format, or empty when it can.
    static QString sizeProblem(const QSize &size, const QByteArray &format);

    // Qualities in percent of 96 dpi.
    static const QList<int> &qualities();
    static int dpiForQuality(int percent) { return percent * 96 / 100; }
    static int qualityForDpi(int dpi) { return dpi * 100 / 96; }
    static bool allowsLongQuality(const KExportComponent &component, int percent);

    struct Refusal
    {
        QString title;
        QString message;
        bool isSet() const { return !title.isEmpty(); }
    };
    // Whether a long picture of the selected pages may be made at this resolution;
    // selectedPages counts the distinct pages chosen (the whole document when none is).
    static Refusal longPageLimit(const KExportComponent &component, int dpi, qint64 selectedPages);

    // The stem of every output name: the document's name without its extension, or, for a
    // document without one, the component's untitled prefix and the time of the export.
    static QString baseName(const QString &documentPath, const KExportComponent &component, const QDateTime &now);
    // Where an export goes unless told otherwise: the document's folder, or the picture
    // beside the document when the component writes the long picture as one file.
    static QString defaultOutput(const QString &documentPath, const KExportComponent &component, bool longPicture,
                                 const QString &suffix, const QDateTime &now);

    // "Name", "Name(1)", "Name(2)", ...
    static QString numberedFolder(const QString &base, int number);
    static constexpr int kMaxNumberedFolders = 10000;
    enum class Claim { Claimed, Taken, Failed };
    // The first numbered folder of base that claim takes, trying the numbers in order and
    // skipping taken names; "" when a claim fails or every name is taken.
    static QString claimNumberedFolder(const QString &base, const std::function<Claim(const QString &)> &claim);

    // folder (ending with its separator) + name_NN.suffix, the page with two digits at least.
    static QString pageFilePath(const QString &folder, const QString &fileName, int page, const QString &suffix);
    // folder (ending with its separator) + name_N.suffix, parts counted from 0.
    static QString partFilePath(const QString &folder, const QString &fileName, int part, const QString &suffix);
};

#include "kexportdlgrules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace kexportdlg {

int dpiForQualityIndex(int index)
{
    static const int dpis[kQualityCount] = {96, 192, 288, 576};
    return index >= 0 && index < kQualityCount ? dpis[index] : 96;
}

int percentForQualityIndex(int index)
{
    return dpiForQualityIndex(index) * 100 / 96;
}

int highestQualityIndex(const KExportComponent &component, bool longPicture)
{
    if (!longPicture)
        return kQualityCount - 1;
    int highest = 0;
    for (int i = 0; i < kQualityCount; ++i) {
        if (percentForQualityIndex(i) <= component.highestDialogLongQuality)
            highest = i;
    }
    return highest;
}

QList<int> refilledQualities(const QList<int> &current, int highest)
{
    QList<int> rows;
    for (int q : current) {
        if (q <= highest)
            rows << q;
    }
    const int top = rows.isEmpty() ? -1 : *std::max_element(rows.begin(), rows.end());
    for (int q = top + 1; q <= highest; ++q)
        rows << q;
    return rows;
}

bool marginsLinkVisible(const KExportComponent &component, bool longPicture)
{
    return component.offersMarginsSetting && longPicture;
}

bool offersPageRange(const KExportComponent &component, int pageCount)
{
    return pageCount > 1 && component.offersEachPage;
}

bool offersLongPicture(int pageCount)
{
    return pageCount != 1;
}

qint64 pdfLongHeightLimit()
{
    return 20 * qint64(297 / 25.4 * 96);
}

bool pdfLongPictureTooTall(int pageCount, const std::function<qint64(int)> &height)
{
    const qint64 limit = pdfLongHeightLimit();
    for (int pages = 30;; pages += 20) {
        if (height(std::min(pages, pageCount)) > limit)
            return true;
        if (pages >= pageCount)
            return false;
    }
}

QString outputFolder(const OutputFolderSources &s)
{
    QString folder = s.chosen;
    if (folder.isEmpty() && !s.current.isEmpty())
        folder = QFileInfo(s.current).absolutePath();
    if (folder.isEmpty()) {
        folder = s.defaultFolder;
        const QString saved = s.savedOutputPath.isEmpty() ? QString() : QFileInfo(s.savedOutputPath).absolutePath();
        if (!saved.isEmpty() && QFileInfo(saved).isDir())
            folder = saved;
        if (!s.documentPath.isEmpty())
            folder = QFileInfo(s.documentPath).absolutePath();
    }
    if (folder.isEmpty())
        return folder;
    folder = QDir::toNativeSeparators(folder);
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

QHash<QString, QString> beginEventFields(const EventChoices &c)
{
    static const char *const watermarks[] = {"none", "custom", "default"};
    const int w = c.watermark >= 0 && c.watermark <= 2 ? c.watermark : 0;
    return {
        {QStringLiteral("watermark"), QLatin1String(watermarks[w])},
        {QStringLiteral("export_type"), c.longPicture ? QStringLiteral("LongPicture") : QStringLiteral("EachPage")},
        {QStringLiteral("format"), c.suffix},
        {QStringLiteral("quality"), QStringLiteral("%1%").arg(percentForQualityIndex(c.qualityIndex))},
        {QStringLiteral("upload_to_cloud"), c.backup ? QStringLiteral("true") : QStringLiteral("false")},
        {QStringLiteral("page"), c.range ? QStringLiteral("range") : QStringLiteral("all_page")},
    };
}

QHash<QString, QString> endEventFields(const EventChoices &c, bool success, const QString &pageCount)
{
    QHash<QString, QString> fields = beginEventFields(c);
    fields.insert(QStringLiteral("result"), success ? QStringLiteral("success") : QStringLiteral("failed"));
    // The statistics server counts this value under its historical spelling.
    fields.insert(QStringLiteral("upload_to_cloud"), c.backup ? QStringLiteral("true") : QStringLiteral("flase"));
    fields.insert(QStringLiteral("pageCount"), pageCount);
    return fields;
}

bool deleteExportOutput(const QString &fileName, bool singleFile, const QString &outputDir)
{
    if (fileName.isEmpty())
        return false;
    const QFileInfo file(fileName);
    if (singleFile)
        return file.isFile() && QFile::remove(file.absoluteFilePath());
    const QString folder = QDir::cleanPath(file.absolutePath());
    const QString parent = QDir::cleanPath(QFileInfo(outputDir).absoluteFilePath());
    if (outputDir.isEmpty() || QFileInfo(folder).absolutePath() != parent || folder == parent)
        return false;
    return QDir(folder).removeRecursively();
}

} // namespace kexportdlg

int kexportdlg::compactFormatIndex(const QString &proposedName)
{
    const QString suffix = QFileInfo(proposedName).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return 0;
    if (suffix == QLatin1String("bmp"))
        return 2;
    if (suffix == QLatin1String("tif"))
        return 3;
    return 1;
}

kexportdlg::CompactRefusal kexportdlg::compactLongPageLimit(const KExportComponent &component, int qualityIndex,
                                                            int pageCount)
{
    const bool common = qualityIndex <= 0;
    const int limit = component.longPageLimitAt(dpiForQualityIndex(qualityIndex));
    if (limit == 0 || pageCount <= limit)
        return {};
    const QString title = QCoreApplication::translate("KExportImageDialog", "Out of range");
    if (common)
        return {title,
                QCoreApplication::translate("KExportImageDialog", "You can combine %1 pages at most to a normal quality "
                                                                  "long picture. Please reduce pages and try again.")
                    .arg(limit),
                32};
    return {title,
            QCoreApplication::translate("KExportImageDialog", "You can combine %1 pages at most to a standard long "
                                                              "picture. You can reduce pages or choose lower "
                                                              "quality, and try again.")
                .arg(limit),
            0};
}

bool kexportdlg::initialBackup(bool available, StoredChoice stored, bool loggedIn)
{
    if (!available)
        return false;
    return stored == StoredChoice::None ? loggedIn : stored == StoredChoice::On;
}

void kexportdlg::applyTextWatermark(ExportImageOptions &options, bool inForce, const QString &text,
                                    const DocumentWatermark &host)
{
    options.watermarkOn = inForce;
    if (!inForce) {
        options.watermarkText.clear();
        return;
    }
    options.watermarkText = text;
    if (host.reported) {
        options.watermarkFont = host.font;
        options.watermarkColor = host.color;
        options.watermarkValue1 = host.value1;
        options.watermarkValue2 = host.value2;
        options.watermarkValue3 = host.value3;
        options.watermarkValue4 = host.value4;
        options.watermarkRotate = host.rotate;
        return;
    }
    options.watermarkFont = QStringLiteral("Microsoft YaHei");
    options.watermarkColor = KxColor{0xffc0c0c0u, -1};
    options.watermarkValue1 = 100.0f;
    options.watermarkValue2 = 0.0f;
    options.watermarkValue3 = 0.0f;
    options.watermarkValue4 = 0;
    options.watermarkRotate = true;
}

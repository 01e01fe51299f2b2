#include "kexportrules.h"

#include "kexportcomponent.h"
#include "koutputpath.h"

#include <QDir>
#include <QFileInfo>

const QStringList &KExportRules::formats()
{
    static const QStringList names = {"jpg", "png", "bmp", "tif"};
    return names;
}

QString KExportRules::formatOf(const QString &name)
{
    const QString s = name.toLower();
    if (s == QLatin1String("jpeg"))
        return QStringLiteral("jpg");
    if (s == QLatin1String("tiff"))
        return QStringLiteral("tif");
    return formats().contains(s) ? s : QString();
}

QByteArray KExportRules::formatForSuffix(const QString &suffix)
{
    return formatOf(suffix).toLatin1();
}

QString KExportRules::sizeProblem(const QSize &size, const QByteArray &format)
{
    const int side = format == "jpg" ? kJpegMaxSide : format == "png" ? kPngMaxSide : 0;
    if (side == 0 || (size.width() <= side && size.height() <= side))
        return QString();
    return tr("a %1 picture can be at most %2 pixels wide and high, this one is %3 x %4")
        .arg(format == "jpg" ? QStringLiteral("JPEG") : QStringLiteral("PNG"))
        .arg(side)
        .arg(size.width())
        .arg(size.height());
}

const QList<int> &KExportRules::qualities()
{
    static const QList<int> percents = {100, 200, 300, 600};
    return percents;
}

bool KExportRules::allowsLongQuality(const KExportComponent &component, int percent)
{
    return percent <= component.highestLongQuality;
}

KExportRules::Refusal KExportRules::longPageLimit(const KExportComponent &component, int dpi, qint64 selectedPages)
{
    const int limit = component.longPageLimitAt(dpi);
    if (limit == 0 || (selectedPages > 0 && selectedPages <= limit))
        return {};
    const bool common = dpi <= 96;
    return {tr("Out of range"),
            tr("%1 doc pages can support when export image as long picture\n whit %2 %,please adjust doc pages%3 and try again")
                .arg(limit)
                .arg(qualityForDpi(dpi))
                .arg(common ? QString() : tr(" or reduce the image quality"))};
}

QString KExportRules::baseName(const QString &documentPath, const KExportComponent &component, const QDateTime &now)
{
    const QString name = KOutputPath::withoutExtension(QFileInfo(documentPath).fileName());
    if (!name.isEmpty())
        return name;
    return QLatin1String(component.untitledPrefix) + now.toString(QStringLiteral("yyyyMMddHHmmss"));
}

QString KExportRules::defaultOutput(const QString &documentPath, const KExportComponent &component, bool longPicture,
                                    const QString &suffix, const QDateTime &now)
{
    const QString folder = QFileInfo(documentPath).absolutePath();
    if (!component.writesSingleFile(longPicture))
        return folder;
    return folder + QLatin1Char('/') + baseName(documentPath, component, now) + QLatin1Char('.') + suffix;
}

QString KExportRules::numberedFolder(const QString &base, int number)
{
    return number == 0 ? base : base + QStringLiteral("(%1)").arg(number);
}

QString KExportRules::claimNumberedFolder(const QString &base, const std::function<Claim(const QString &)> &claim)
{
    for (int n = 0; n < kMaxNumberedFolders; ++n) {
        const QString folder = numberedFolder(base, n);
        switch (claim(folder)) {
        case Claim::Claimed:
            return folder;
        case Claim::Taken:
            continue;
        case Claim::Failed:
            return QString();
        }
    }
    return QString();
}

// Joined, not filled in: a name holding "%1" must come out as it is.
QString KExportRules::pageFilePath(const QString &folder, const QString &fileName, int page, const QString &suffix)
{
    const QString number = QStringLiteral("%1").arg(page, 2, 10, QLatin1Char('0'));
    return QDir::toNativeSeparators(folder + fileName + QLatin1Char('_') + number + QLatin1Char('.') + suffix);
}

QString KExportRules::partFilePath(const QString &folder, const QString &fileName, int part, const QString &suffix)
{
    return KOutputPath::normalize(folder + fileName + QLatin1Char('_') + QString::number(part) + QLatin1Char('.')
                                  + suffix);
}

#include "watermarkpicture.h"

#include <klitestyle.h>

QImage loadDefaultWatermarkPicture(const QString &appName, bool longPicture)
{
    const QString folder = KLiteStyle::dpiScaled(1.0) > 1.99
                               ? QStringLiteral(":/localindex/shape/highdpi/")
                               : QStringLiteral(":/localindex/shape/");
    const bool slides =
        longPicture && appName.compare(QLatin1String("vyd"), Qt::CaseInsensitive) == 0;
    const QString file = slides ? QStringLiteral("watermark-horizontal.png")
                                : QStringLiteral("watermark.png");
    return QImage(folder + file);
}

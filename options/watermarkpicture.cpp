#include "watermarkpicture.h"

#include <klitestyle.h>

QImage loadDefaultWatermarkPicture(const KExportComponent &component, bool longPicture)
{
    const QString folder = KLiteStyle::dpiScaled(1.0) > 1.99
                               ? QStringLiteral(":/localindex/shape/highdpi/")
                               : QStringLiteral(":/localindex/shape/");
    const QString file = longPicture && component.wideWatermarkWhenLong ? QStringLiteral("watermark-horizontal.png")
                                : QStringLiteral("watermark.png");
    return QImage(folder + file);
}

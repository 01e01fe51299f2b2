#include "fuzzsupport.h"

#include "ksheetdata_p.h"

#include <kcsvtable.h>

#include <QImage>
#include <QPainter>

KFUZZ_INIT

// A delimiter byte (odd: tab), the CSV text, a zero byte, then the side file. Draws the
// top-left corner of the sheet, where every odd width, picture and note shows.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QChar delimiter = (data[0] & 1) ? QLatin1Char('\t') : QLatin1Char(',');
    const auto parts = kfuzz::split(kfuzz::bytes(data + 1, size - 1));
    const QList<QStringList> cells = KCsvTable::parse(QString::fromUtf8(parts.first), delimiter);
    const KSheetData sheet(cells, QString::fromUtf8(parts.second), kfuzz::home().path());
    const QRectF area = sheet.cellsRect(sheet.usedRange()).intersected(QRectF(0, 0, 400, 300));
    QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(0.5, 0.5);
    sheet.draw(&painter, area, false);
    return 0;
}

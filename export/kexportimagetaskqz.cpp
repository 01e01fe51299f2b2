#include "kexportimagetaskqz.h"

#include "kdocumentaccess.h"
#include "pageimage.h"
#include "picturewriter.h"
#include "rastertiles.h"

#include <kimagepainter.h>
#include <kpainterext.h>
#include <ksecuritydocument.h>
#include <kxapplication.h>

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

void widen(KCellRange &content, const KCellRange &range)
{
    if (range.isEmpty())
        return;
    if (content.isEmpty()) {
        content = range;
        return;
    }
    content.firstRow = std::min(content.firstRow, range.firstRow);
    content.lastRow = std::max(content.lastRow, range.lastRow);
    content.firstColumn = std::min(content.firstColumn, range.firstColumn);
    content.lastColumn = std::max(content.lastColumn, range.lastColumn);
}

KCellRange boundsOf(IKCellRange *range)
{
    KCellRange bounds;
    if (range && !kSucceeded(range->bounds(&bounds)))
        bounds = KCellRange();
    return bounds;
}

void widenByObjects(KCellRange &content, IKSheetObjects *objects)
{
    int count = 0;
    if (!objects || !kSucceeded(objects->count(&count)))
        return;
    for (int i = 0; i < count; ++i) {
        KComPtr<IKSheetObject> object;
        KComPtr<IKCellRange> range;
        if (kSucceeded(objects->item(i, object.put())) && object && kSucceeded(object->anchorRange(range.put())))
            widen(content, boundsOf(range.get()));
    }
}

bool insideSheet(IKWorksheet *sheet, const KCellRange &range)
{
    int rows = 0;
    int columns = 0;
    if (!kSucceeded(sheet->rowCount(&rows)) || !kSucceeded(sheet->columnCount(&columns)))
        return false;
    return !range.isEmpty() && range.lastRow < rows && range.lastColumn < columns;
}

} // namespace

struct KExportImageTaskQz::Painted
{
    QImage image;
    QString countText;
    bool tooLarge = false;
    QString problem; // why no picture came out, when known
};

KExportImageTaskQz::KExportImageTaskQz(QObject *parent)
    : KExportImageTask(KExportComponent::of(KExportComponent::Spreadsheet), parent)
{
}

int KExportImageTaskQz::pageCount()
{
    setPageCountValue(1);
    return 1;
}

bool KExportImageTaskQz::areaTooLarge() const
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return m_areaTooLarge;
}

KCellRange KExportImageTaskQz::contentRange(IKWorksheet *sheet)
{
    KCellRange content;
    if (!sheet)
        return content;
    KComPtr<IKCellRange> used;
    if (kSucceeded(sheet->usedRange(used.put())))
        widen(content, boundsOf(used.get()));
    KComPtr<IKSheetObjects> drawings;
    if (kSucceeded(sheet->drawingObjects(drawings.put())))
        widenByObjects(content, drawings.get());
    KComPtr<IKSheetObjects> anchored;
    if (kSucceeded(sheet->anchoredObjects(anchored.put())))
        widenByObjects(content, anchored.get());
    return content;
}

// The content rectangle of the active sheet painted at scale; a null image on failure.
KExportImageTaskQz::Painted KExportImageTaskQz::paintContent(int scale, bool exportInCaller, const QString &formatSuffix)
{
    Painted out;
    const KComPtr<IKWorkbook> workbook = kdocumentaccess::activeWorkbook();
    const KComPtr<IKWorksheet> sheet = kdocumentaccess::activeSheet(workbook);
    if (!sheet)
        return out;
    const KCellRange content = contentRange(sheet.get());
    if (exportInCaller) {
        KxApplication::coreApplication()->processPendingUiWork();
        msleep(1);
    }
    KComPtr<IKCellRange> reference;
    KComPtr<IKSheetLayout> layout;
    if (content.isEmpty()) {
        out.problem = tr("The sheet is empty");
        return out;
    }
    if (!insideSheet(sheet.get(), content) || !kSucceeded(sheet->range(content, reference.put())) || !reference)
        return out;
    if (!kSucceeded(sheet->layout(layout.put())) || !layout)
        return out;
    ImagePainter measure(scale);
    QRectF area;
    int values[4] = {0, 0, 0, 0};
    if (!kSucceeded(layout->drawingArea(reference.get(), &measure, &area, values)) || area.isEmpty())
        return out;
    out.countText = QStringLiteral("%1,%2,%3,%4").arg(values[0]).arg(values[1]).arg(values[2]).arg(values[3]);
    out.tooLarge = measure.isTooLarge();

    const QSize size = measure.pixelSize(area);
    if (!size.isValid() || size.isEmpty() || !kpicture::canAllocate(size)) {
        out.problem = tr("The sheet is too large for a picture (%1 x %2 pixels)").arg(size.width()).arg(size.height());
        return out;
    }
    if (!formatSuffix.isEmpty()) {
        const QSize withBorder(size.width() + 2 * kMargin, size.height() + 2 * kMargin);
        out.problem = KExportRules::sizeProblem(withBorder, KExportRules::formatForSuffix(formatSuffix));
        if (!out.problem.isEmpty())
            return out;
    }
    if (isCanceled())
        return out;
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        qWarning() << "KExportImageTaskQz: cannot allocate a picture of" << size;
        out.problem = tr("Not enough memory for a picture of %1 x %2 pixels").arg(size.width()).arg(size.height());
        return out;
    }
    const bool plain = SecurityDocumentSpace::GetShowPlainWatermarkWhenPrint(workbook.get());
    if (paintArea(image, layout.get(), area, scale, plain))
        out.image = image;
    return out;
}

// Paints the area tile by tile at scale; false when the layout fails to draw or the
// export is cancelled.
bool KExportImageTaskQz::paintArea(QImage &image, IKSheetLayout *layout, const QRectF &area, int scale, bool plain)
{
    bool drawn = true;
    const bool finished = krastertiles::forEachTile(image, [&](QImage &view, const QRect &tile) {
        if (isCanceled())
            return false;
        view.fill(Qt::white); // tile by tile, so a cancel need not wait for the whole picture
        PainterExt painter(&view);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setupPageCoordinates();
        krastertiles::aimAtTile(painter, tile);
        painter.scale(scale, scale);
        drawn = kSucceeded(layout->draw(&painter, area, plain));
        return drawn;
    });
    return finished && drawn;
}

QImage KExportImageTaskQz::previewImage()
{
    const QImage painted = paintContent(1, false, QString()).image;
    const QImage preview = painted.isNull() ? painted : framed(painted);
    std::lock_guard<std::mutex> lock(m_stateLock);
    m_previewCache = preview;
    return preview;
}

bool KExportImageTaskQz::exportLongPicture(const ExportImageOptions &options)
{
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        m_renderDpi = options.dpi;
        m_areaTooLarge = false;
    }
    // Below 96 dots per inch the integer scale would be 0: an empty picture.
    // The file's own suffix picks the encoder, so its limits are the ones to meet.
    const Painted painted = paintContent(std::max(1, options.dpi / 96), options.exportInCaller,
                                         QFileInfo(options.fileName).suffix());
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        m_areaTooLarge = painted.tooLarge;
    }
    if (!painted.countText.isEmpty())
        setCountText(painted.countText);
    if (painted.image.isNull()) {
        setFailureDetail(painted.problem);
        return false;
    }
    QImage picture = framed(painted.image);
    if (picture.isNull()) {
        setFailureDetail(tr("Not enough memory for the framed picture"));
        return false;
    }
    return writeLongPicture(picture, options);
}

// The content without its white border, in a white margin.
QImage KExportImageTaskQz::framed(const QImage &picture)
{
    const QImage content = kpageimage::croppedToContent(picture);
    return kpageimage::padded(content, content.rect(), QMargins(kMargin, kMargin, kMargin, kMargin));
}

#include "kexportimagetaskvyx.h"

#include "kdocumentaccess.h"
#include "pageimage.h"

#include <QtMath>

KExportImageTaskVyx::KExportImageTaskVyx(QObject *parent)
    : KExportImageTask(KExportComponent::of(KExportComponent::Writer), parent)
{
}

int KExportImageTaskVyx::pageCount()
{
    const KComPtr<IKPageRenderer> renderer =
        kdocumentaccess::writerPageRenderer(kdocumentaccess::activeWriterDocument(mainWindow()));
    int count = 0;
    if (!renderer || !kSucceeded(renderer->pageCount(&count)))
        return 0;
    setPageCountValue(count);
    return count;
}

QImage KExportImageTaskVyx::previewImage()
{
    const KComPtr<IKPageRenderer> renderer =
        kdocumentaccess::writerPageRenderer(kdocumentaccess::activeWriterDocument(mainWindow()));
    KComPtr<IKPage> page;
    QImage image;
    if (!renderer || !kSucceeded(renderer->page(1, page.put())) || !page)
        return QImage();
    if (page->render(&image, 96, 96) < 0)
        return QImage();
    return image;
}

int KExportImageTaskVyx::halfGap(const ExportImageOptions &options, float docSpacing)
{
    if (options.pageGap > 0)
        return options.pageGap / 2 * kpageimage::bandScale(options.dpi);
    const double spacing = docSpacing >= kDocSpacingUnset ? 0.0 : docSpacing;
    if (spacing > 0)
        return int(qCeil(spacing * 0.25));
    return 15;
}

bool KExportImageTaskVyx::renderPages(const ExportImageOptions &options)
{
    const KComPtr<IKWriterDocument> document = kdocumentaccess::activeWriterDocument(mainWindow());
    const KComPtr<IKPageRenderer> renderer = kdocumentaccess::writerPageRenderer(document);
    int count = 0;
    if (!renderer || !kSucceeded(renderer->pageCount(&count)))
        return false;
    const int resolution = options.dpi >= 1 ? options.dpi : 0;
    Bands bands;
    bands.gap = options.longPicture ? halfGap(options, kdocumentaccess::writerDocSpacing(document)) : 0;
    return walkPages(options, count, [&](const PagePlace &place) {
        KComPtr<IKPage> page;
        if (!kSucceeded(renderer->page(place.number, page.put())) || !page) {
            failPage(place.number, tr("is missing from the document"));
            return QImage();
        }
        QImage image;
        if (page->render(&image, resolution, resolution) < 0 || image.isNull() || !options.longPicture)
            return image;
        return banded(image, place, options, bands);
    });
}

// The page's content rows on white between even gaps. The first page's left margin sets
// the band above the first and below the last page, unless the options give them.
QImage KExportImageTaskVyx::banded(const QImage &page, const PagePlace &place, const ExportImageOptions &options,
                                   Bands &bands)
{
    // Converted once: the bounds scan and the copy both read the opaque form.
    const QImage opaque = page.convertToFormat(QImage::Format_RGB32);
    const QRect content = kpageimage::contentBounds(opaque);
    if (place.first)
        bands.edge = content.left() > 0 ? content.left() * 2 / 3 : bands.gap;
    const int edge = bands.edge;
    const int scale = kpageimage::bandScale(options.dpi);
    int top = bands.gap;
    int bottom = bands.gap;
    if (place.first)
        top = options.firstPageTop > 0 ? options.firstPageTop * scale : edge;
    else if (place.last)
        bottom = options.lastPageBottom > 0 ? options.lastPageBottom * scale : edge;
    // A blank page keeps one white row.
    const QRect rows = content.isEmpty() ? QRect(0, -1, page.width(), 1)
                                         : QRect(0, content.top(), page.width(), content.height());
    const QImage result = kpageimage::padded(opaque, rows, QMargins(0, top, 0, bottom));
    if (result.isNull())
        failPage(place.number, tr("with its bands needs more memory than this machine has"));
    return result;
}

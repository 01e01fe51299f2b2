#include "kexportimagetaskpdf.h"

#include "kdocumentaccess.h"
#include "kexportrules.h"
#include "pageimage.h"

#include <QScopeGuard>

#include <cstdlib>

KExportImageTaskPdf::KExportImageTaskPdf(QObject *parent)
    : KExportImageTask(KExportComponent::of(KExportComponent::Pdf), parent)
    , m_screenDpi(kpageimage::measureScreenDpi()) // here, on the interface thread
{
}

// Rounded as the renderer rounds a page's rows, so that maxPagesPerPicture A4 pages fit.
qint64 KExportImageTaskPdf::partHeightLimit(const ExportImageOptions &options)
{
    if (options.dpi < 1)
        return 0;
    return qRound64(297 * options.dpi / 25.4) * options.maxPagesPerPicture;
}

qint64 KExportImageTaskPdf::partHeight(const QList<QSize> &pages)
{
    int widest = 0;
    for (const QSize &page : pages)
        widest = std::max(widest, page.width());
    qint64 height = 0;
    for (const QSize &page : pages) {
        const bool widened = page.width() > 0 && page.width() < widest;
        height += widened ? qint64(page.height()) * widest / page.width() : page.height();
    }
    return height;
}

int KExportImageTaskPdf::pageCount()
{
    const KComPtr<IKPdfDocument> document = kdocumentaccess::activePdfDocument();
    return document ? document->pageCount() : 0;
}

qint64 KExportImageTaskPdf::selectedPagesHeight(int limit, const ExportImageOptions &options)
{
    const KComPtr<IKPdfDocument> document = kdocumentaccess::activePdfDocument();
    if (!document)
        return 0;
    const double zoom = 96.0 / m_screenDpi;
    qint64 total = 0;
    for (int number : selectedPageNumbers(options.pages, document->pageCount())) {
        if (number - 1 > limit)
            break;
        if (isCanceled())
            return 0;
        total = qRound64(total + document->pageSize(number - 1).height() * zoom);
    }
    return total;
}

QImage KExportImageTaskPdf::previewImage()
{
    const KComPtr<IKPdfDocument> document = kdocumentaccess::activePdfDocument();
    const float zoom = 96.0f / m_screenDpi;
    if (!document || !document->prepareRendering(zoom))
        return QImage();
    return document->renderPage(0, zoom);
}

// One page as the export writes it: opaque 32-bit, with its resolution for zoomed pages.
QImage KExportImageTaskPdf::renderPage(IKPdfDocument *document, int index, float zoom)
{
    QImage page = document->renderPage(index, zoom);
    if (page.isNull())
        return page;
    page = page.convertToFormat(QImage::Format_RGB32);
    const int dpm = int(zoom * m_screenDpi / 0.0254);
    page.setDotsPerMeterX(dpm);
    page.setDotsPerMeterY(dpm);
    return page;
}

// The size each used page will render at; refuses, before anything renders, the first
// page that cannot become a picture (then the list is empty).
QList<QSize> KExportImageTaskPdf::checkPageSizes(IKPdfDocument *document, const QList<int> &numbers, float zoom,
                                                 const ExportImageOptions &options)
{
    QList<QSize> sizes;
    for (int number : numbers) {
        const QSizeF pixels = document->pageSize(number - 1) * double(zoom);
        const QString problem = kpageimage::pageSizeProblem(pixels, options.dpi * 100 / 96);
        if (!problem.isEmpty()) {
            failPage(number, problem);
            return {};
        }
        sizes.append(pixels.toSize());
    }
    return sizes;
}

// Renders the selected pages through the walk, each checked against the size it must have.
bool KExportImageTaskPdf::walkDocument(const ExportImageOptions &options, const PageSink &longPage)
{
    const KComPtr<IKPdfDocument> document = kdocumentaccess::activePdfDocument();
    const float zoom = kpageimage::zoomFor(options.dpi, m_screenDpi);
    if (!document || !document->prepareRendering(zoom))
        return false;
    const int count = document->pageCount();
    const QList<int> numbers = selectedPageNumbers(options.pages, count);
    const QList<QSize> sizes = checkPageSizes(document.get(), numbers, zoom, options);
    if (sizes.size() != numbers.size())
        return false;
    QList<int> indexes;
    for (int number : numbers)
        indexes << number - 1;
    document->setPagesWanted(indexes);
    const auto allWantedAgain = qScopeGuard([&document] { document->setPagesWanted({}); });
    return walkPages(options, count, [&](const PagePlace &place) {
        const QImage page = renderPage(document.get(), place.number - 1, zoom);
        // A renderer that runs out of room hands back a null or a token picture.
        const QSize expected = sizes.at(place.index);
        if (std::abs(page.width() - expected.width()) > 2 || std::abs(page.height() - expected.height()) > 2)
            return QImage();
        return page;
    }, longPage);
}

bool KExportImageTaskPdf::renderPages(const ExportImageOptions &options)
{
    return walkDocument(options);
}

bool KExportImageTaskPdf::renderLongPicture(const ExportImageOptions &options)
{
    if (!options.longPicture)
        return false;
    const QString folder = createOutputFolder(options);
    if (folder.isEmpty())
        return false;
    const qint64 limit = partHeightLimit(options);
    QList<QImage> part;
    QList<QSize> sizes; // of the pages in part, as rendered
    int partIndex = 0;
    const bool finished = walkDocument(options, [&](const PagePlace &, QImage &page) {
        sizes.append(page.size());
        // Measured as the part will hold it: narrower pages are widened to the widest.
        if (!part.isEmpty() && partHeight(sizes) > limit) {
            if (!composePart(part, partIndex++, folder, options))
                return false;
            sizes = {page.size()};
        }
        part.append(page);
        return true;
    });
    return finished && !part.isEmpty() && composePart(part, partIndex, folder, options);
}

bool KExportImageTaskPdf::composePart(QList<QImage> &pages, int partIndex, const QString &folder,
                                      const ExportImageOptions &options)
{
    for (const QImage &page : qAsConst(pages))
        addPageImage(0, page);
    pages.clear(); // the composition alone holds the pages now, and lets each go once drawn
    QImage picture;
    if (!composeLongPicture(picture) || picture.isNull())
        return false;
    return writePart(picture, KExportRules::partFilePath(folder, options.fileName, partIndex, options.suffix), options);
}

// Narrower pages are scaled up to the widest so the part has no ragged edge.
QList<QImage> KExportImageTaskPdf::prepareColumn(const QList<QImage> &images)
{
    int widest = 0;
    for (const QImage &image : images)
        widest = std::max(widest, image.width());
    QList<QImage> prepared;
    prepared.reserve(images.size());
    for (const QImage &image : images) {
        if (image.width() >= widest || image.width() <= 0) {
            prepared.append(image);
            continue;
        }
        const int height = int(qint64(image.height()) * widest / image.width());
        prepared.append(image.scaled(widest, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    return prepared;
}

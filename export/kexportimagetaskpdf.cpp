#include "kexportimagetaskpdf.h"

#include "kdocumentaccess.h"
#include "pageimage.h"

#include <cstdlib>

namespace {

struct UsedPages
{
    QList<int> numbers; // 1-based
};

UsedPages usedPages(const ExportImageOptions &options, int pageCount)
{
    return {selectedPageNumbers(options.pages, pageCount)};
}

} // namespace

KExportImageTaskPdf::KExportImageTaskPdf(QObject *parent)
    : KExportImageTask(KExportComponent::of(KExportComponent::Pdf), parent)
    , m_screenDpi(kpageimage::measureScreenDpi()) // here, on the interface thread
{
}

float KExportImageTaskPdf::zoomFor(const ExportImageOptions &options) const
{
    return options.dpi >= 1 ? float(options.dpi) / m_screenDpi : 1.0f;
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
    for (int number : usedPages(options, document->pageCount()).numbers) {
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

// Renders the used pages in order and hands each to visit; stops on a cancel, on a page
// that does not render, or when visit fails.
bool KExportImageTaskPdf::forEachPage(IKPdfDocument *document, const ExportImageOptions &options, float zoom,
                                      const std::function<bool(int, QImage &)> &visit)
{
    setPageCountValue(document->pageCount());
    const QList<int> numbers = usedPages(options, document->pageCount()).numbers;
    const QList<QSize> sizes = checkPageSizes(document, numbers, zoom, options);
    if (sizes.size() != numbers.size())
        return false;
    int done = 0;
    for (int number : numbers) {
        if (isCanceled())
            return false;
        const QSize expected = sizes.at(done);
        QImage page = renderPage(document, number - 1, zoom);
        // A renderer that runs out of room hands back a null or a token picture.
        if (page.isNull() || std::abs(page.width() - expected.width()) > 2
            || std::abs(page.height() - expected.height()) > 2)
            return failPage(number, tr("could not be rendered"));
        reportProgress(++done, numbers.size());
        if (!visit(number, page))
            return false;
    }
    return true;
}

bool KExportImageTaskPdf::renderPages(const ExportImageOptions &options)
{
    QString folder;
    if (!options.longPicture && (folder = createOutputFolder(options)).isEmpty())
        return false;
    const KComPtr<IKPdfDocument> document = kdocumentaccess::activePdfDocument();
    const float zoom = zoomFor(options);
    if (!document || !document->prepareRendering(zoom))
        return false;
    QList<QImage> pages;
    bool wroteFile = false;
    const bool finished = forEachPage(document.get(), options, zoom, [&](int number, QImage &page) {
        if (options.longPicture) {
            pages.append(page);
            return true;
        }
        wroteFile = true;
        return savePageImage(page, pageFilePath(folder, options.fileName, number, options.suffix), options);
    });
    if (!finished)
        return false;
    for (const QImage &page : qAsConst(pages))
        addPageImage(0, page);
    return !pages.isEmpty() || wroteFile;
}

bool KExportImageTaskPdf::renderLongPicture(const ExportImageOptions &options)
{
    if (!options.longPicture)
        return false;
    const KComPtr<IKPdfDocument> document = kdocumentaccess::activePdfDocument();
    const float zoom = zoomFor(options);
    if (!document || !document->prepareRendering(zoom))
        return false;
    const qint64 limit = partHeightLimit(options);
    const QString folder = createOutputFolder(options);
    if (folder.isEmpty())
        return false;
    QList<QImage> part;
    QList<QSize> sizes; // of the pages in part, as rendered
    int partIndex = 0;
    int written = 0;
    const bool finished = forEachPage(document.get(), options, zoom, [&](int, QImage &page) {
        sizes.append(page.size());
        // Measured as the part will hold it: narrower pages are widened to the widest.
        if (!part.isEmpty() && partHeight(sizes) > limit) {
            if (!writePart(part, partIndex++, folder, options))
                return false;
            ++written;
            sizes = {page.size()};
        }
        part.append(page);
        return true;
    });
    if (!finished)
        return false;
    if (!part.isEmpty()) {
        if (!writePart(part, partIndex, folder, options))
            return false;
        ++written;
    }
    return written > 0;
}

bool KExportImageTaskPdf::writePart(QList<QImage> &pages, int partIndex, const QString &folder,
                                    const ExportImageOptions &options)
{
    for (const QImage &page : qAsConst(pages))
        addPageImage(0, page);
    pages.clear(); // the composition alone holds the pages now, and lets each go once drawn
    QImage picture;
    if (!composeLongPicture(picture) || picture.isNull())
        return false;
    const QString name = options.fileName + QLatin1Char('_') + QString::number(partIndex);
    const QString path = normalizePath(QStringLiteral("%1%2.%3").arg(folder, name, options.suffix));
    if (options.watermarkOn)
        paintWatermarkOn(picture, options, true);
    if (!writeImage(picture, path, options))
        return false;
    // The result names the first part, the file a viewer should open first.
    QWriteLocker lock(&m_lock);
    if (m_outputFile.isEmpty())
        m_outputFile = path;
    return true;
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

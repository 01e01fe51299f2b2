#include "kexportimagetaskvyx.h"

#include "kdocumentaccess.h"
#include "pageimage.h"

#include <kxapplication.h>

#include <QtMath>

namespace {

using kpageimage::isNonWhite;

bool rowHasContent(const QImage &image, int y)
{
    const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
        if (isNonWhite(line[x]))
            return true;
    }
    return false;
}

int scaleFor(int dpi)
{
    return dpi > 96 ? dpi / 96 : 1;
}

struct Selection
{
    QList<int> pages;
    int first = 1;
    int last = 0;
};

Selection selectionOf(const ExportImageOptions &options, int pageCount)
{
    Selection s;
    s.pages = selectedPageNumbers(options.pages, pageCount);
    s.first = s.pages.isEmpty() ? 1 : s.pages.first();
    s.last = s.pages.isEmpty() ? pageCount : s.pages.last();
    return s;
}

// Rows from the first to the last one holding a non-white pixel; none for a blank page.
struct RowSpan
{
    int first = -1;
    int count = 0;
};

RowSpan contentRows(const QImage &image)
{
    RowSpan span;
    int top = 0;
    while (top < image.height() && !rowHasContent(image, top))
        ++top;
    if (top == image.height())
        return span;
    int bottom = image.height() - 1;
    while (bottom > top && !rowHasContent(image, bottom))
        --bottom;
    span.first = top;
    span.count = bottom - top + 1;
    return span;
}

// The page's content rows on white, with bands of the given heights above and below.
// A blank page keeps one (white) row.
QImage padded(const QImage &page, const RowSpan &span, int top, int bottom)
{
    const QRect rows = span.first < 0 ? QRect(0, -1, page.width(), 1) : QRect(0, span.first, page.width(), span.count);
    return kpageimage::padded(page, rows, QMargins(0, top, 0, bottom));
}

} // namespace

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
        return options.pageGap / 2 * scaleFor(options.dpi);
    const double spacing = docSpacing >= kDocSpacingUnset ? 0.0 : docSpacing;
    if (spacing > 0)
        return int(qCeil(spacing * 0.25));
    return 15;
}

int KExportImageTaskVyx::contentLeft(const QImage &page)
{
    const QImage image = page.convertToFormat(QImage::Format_RGB32);
    int left = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const int limit = left < 0 ? image.width() : left;
        for (int x = 0; x < limit; ++x) {
            if (isNonWhite(line[x])) {
                left = x;
                break;
            }
        }
    }
    return left;
}

QImage KExportImageTaskVyx::trimmed(const QImage &page)
{
    const QImage image = page.convertToFormat(QImage::Format_RGB32);
    const RowSpan span = contentRows(image);
    if (span.first < 0) {
        QImage blank(image.width(), 1, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        return blank;
    }
    return image.copy(0, span.first, image.width(), span.count);
}

bool KExportImageTaskVyx::renderPages(const ExportImageOptions &options)
{
    QString folder;
    if (!options.longPicture && (folder = createOutputFolder(options)).isEmpty())
        return false;
    const KComPtr<IKWriterDocument> document = kdocumentaccess::activeWriterDocument(mainWindow());
    const KComPtr<IKPageRenderer> renderer = kdocumentaccess::writerPageRenderer(document);
    int count = 0;
    if (!renderer || !kSucceeded(renderer->pageCount(&count)))
        return false;
    setPageCountValue(count);

    const int scale = scaleFor(options.dpi);
    const int gap = options.longPicture ? halfGap(options, kdocumentaccess::writerDocSpacing(document)) : 0;
    const Selection selection = selectionOf(options, count);
    const int resolution = options.dpi >= 1 ? options.dpi : 0;
    int left = -1;
    bool leftKnown = false;
    bool wroteFile = false;
    QList<QImage> pages;
    int done = 0;
    for (int n : selection.pages) {
        if (isCanceled())
            return false;
        KComPtr<IKPage> page;
        if (!kSucceeded(renderer->page(n, page.put())) || !page)
            return failPage(n, tr("is missing from the document"));
        if (options.exportInCaller) {
            KxApplication::coreApplication()->processPendingUiWork();
            msleep(1);
        }
        QImage image;
        if (page->render(&image, resolution, resolution) < 0 || image.isNull())
            return failPage(n, tr("could not be rendered"));
        reportProgress(++done, selection.pages.size());
        if (!options.longPicture) {
            const QString path = pageFilePath(folder, options.fileName, n, options.suffix);
            if (!savePageImage(image, path, options))
                return false;
            wroteFile = true;
            continue;
        }
        if (n == selection.first && !leftKnown) {
            left = contentLeft(image);
            leftKnown = true;
        }
        image = image.convertToFormat(QImage::Format_RGB32);
        const RowSpan span = contentRows(image);
        const int edgeBand = left > 0 ? left * 2 / 3 : gap;
        int top = gap;
        int bottom = gap;
        if (n == selection.first)
            top = options.firstPageTop > 0 ? options.firstPageTop * scale : edgeBand;
        else if (n == selection.last)
            bottom = options.lastPageBottom > 0 ? options.lastPageBottom * scale : edgeBand;
        const QImage result = padded(image, span, top, bottom);
        if (result.isNull())
            return failPage(n, tr("with its bands needs more memory than this machine has"));
        pages.append(result);
    }
    for (const QImage &page : qAsConst(pages))
        addPageImage(0, page);
    return !pages.isEmpty() || wroteFile;
}

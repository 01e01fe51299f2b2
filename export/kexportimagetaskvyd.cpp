#include "kexportimagetaskvyd.h"

#include "kdocumentaccess.h"
#include "pageimage.h"

#include <kxapplication.h>

namespace {

int scaleFor(int dpi)
{
    return dpi > 96 ? dpi / 96 : 1;
}

} // namespace

KExportImageTaskVyd::KExportImageTaskVyd(QObject *parent)
    : KExportImageTask(KExportComponent::of(KExportComponent::Presentation), parent)
    , m_screenDpi(kpageimage::measureScreenDpi()) // here, on the interface thread
{
}

float KExportImageTaskVyd::zoomFor(int dpi) const
{
    return dpi >= 1 ? float(dpi) / m_screenDpi : 1.0f;
}

int KExportImageTaskVyd::pageCount()
{
    const KComPtr<IKSlides> slides = kdocumentaccess::activeSlides();
    int count = 0;
    if (!slides || !kSucceeded(slides->count(&count)))
        return 0;
    setPageCountValue(count);
    return count;
}

QImage KExportImageTaskVyd::previewImage()
{
    const KComPtr<IKSlides> slides = kdocumentaccess::activeSlides();
    KComPtr<IKSlide> slide;
    QImage image;
    if (!slides || !kSucceeded(slides->item(QVariant(qint32(1)), slide.put())) || !slide)
        return QImage();
    if (slide->render(&image, 96.0f / m_screenDpi, false) < 0)
        return QImage();
    return image;
}

int KExportImageTaskVyd::halfGap(const ExportImageOptions &options)
{
    return options.pageGap > 0 ? options.pageGap / 2 * scaleFor(options.dpi) : 15;
}

QImage KExportImageTaskVyd::padded(const QImage &slide, int top, int bottom)
{
    return kpageimage::padded(slide, slide.rect(), QMargins(0, top, 0, bottom));
}

// A single selected slide is both first and last, so it may be padded twice.
QImage KExportImageTaskVyd::bandedSlide(QImage slide, int n, int first, int last, const ExportImageOptions &options) const
{
    const int scale = scaleFor(options.dpi);
    const int gap = halfGap(options);
    if (n == first && options.firstPageTop > 0)
        slide = padded(slide, options.firstPageTop * scale, gap);
    if (!slide.isNull() && n == last && options.lastPageBottom > 0)
        slide = padded(slide, gap, options.lastPageBottom * scale);
    return slide;
}

bool KExportImageTaskVyd::renderPages(const ExportImageOptions &options)
{
    QString folder;
    if (!options.longPicture && (folder = createOutputFolder(options)).isEmpty())
        return false;
    const KComPtr<IKSlides> slides = kdocumentaccess::activeSlides();
    int count = 0;
    if (!slides || !kSucceeded(slides->count(&count)))
        return false;
    setPageCountValue(count);

    const QList<int> selected = selectedPageNumbers(options.pages, count);
    const int first = selected.isEmpty() ? 1 : selected.first();
    const int last = selected.isEmpty() ? count : selected.last();
    const float zoom = zoomFor(options.dpi);
    QList<QImage> images;
    bool wroteFile = false;
    int done = 0;
    for (int n : selected) {
        if (isCanceled())
            return false;
        KComPtr<IKSlide> slide;
        if (!kSucceeded(slides->item(QVariant(qint32(n)), slide.put())) || !slide)
            return failPage(n, tr("is missing from the presentation"));
        if (options.exportInCaller) {
            KxApplication::coreApplication()->processPendingUiWork();
            msleep(1);
        }
        QImage image;
        if (slide->render(&image, zoom, true) < 0 || image.isNull())
            return failPage(n, tr("could not be rendered"));
        reportProgress(++done, selected.size());
        if (!options.longPicture) {
            if (!savePageImage(image, pageFilePath(folder, options.fileName, n, options.suffix), options))
                return false;
            wroteFile = true;
            continue;
        }
        image = bandedSlide(image, n, first, last, options);
        if (image.isNull())
            return false;
        images.append(image);
    }
    for (const QImage &image : qAsConst(images))
        addPageImage(0, image);
    return !images.isEmpty() || wroteFile;
}

#include "kexportimagetaskvyd.h"

#include "kdocumentaccess.h"
#include "pageimage.h"

KExportImageTaskVyd::KExportImageTaskVyd(QObject *parent)
    : KExportImageTask(KExportComponent::of(KExportComponent::Presentation), parent)
    , m_screenDpi(kpageimage::measureScreenDpi()) // here, on the interface thread
{
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
    return options.pageGap > 0 ? options.pageGap / 2 * kpageimage::bandScale(options.dpi) : 15;
}

// A single selected slide is both first and last, so it may be padded twice.
QImage KExportImageTaskVyd::banded(QImage slide, const PagePlace &place, const ExportImageOptions &options)
{
    const int scale = kpageimage::bandScale(options.dpi);
    const int gap = halfGap(options);
    if (place.first && options.firstPageTop > 0)
        slide = kpageimage::padded(slide, slide.rect(), QMargins(0, options.firstPageTop * scale, 0, gap));
    if (!slide.isNull() && place.last && options.lastPageBottom > 0)
        slide = kpageimage::padded(slide, slide.rect(), QMargins(0, gap, 0, options.lastPageBottom * scale));
    return slide;
}

bool KExportImageTaskVyd::renderPages(const ExportImageOptions &options)
{
    const KComPtr<IKSlides> slides = kdocumentaccess::activeSlides();
    int count = 0;
    if (!slides || !kSucceeded(slides->count(&count)))
        return false;
    const float zoom = kpageimage::zoomFor(options.dpi, m_screenDpi);
    return walkPages(options, count, [&](const PagePlace &place) {
        KComPtr<IKSlide> slide;
        if (!kSucceeded(slides->item(QVariant(qint32(place.number)), slide.put())) || !slide) {
            failPage(place.number, tr("is missing from the presentation"));
            return QImage();
        }
        QImage image;
        if (slide->render(&image, zoom, true) < 0 || image.isNull() || !options.longPicture)
            return image;
        const QImage result = banded(image, place, options);
        if (result.isNull())
            failPage(place.number, tr("with its bands needs more memory than this machine has"));
        return result;
    });
}

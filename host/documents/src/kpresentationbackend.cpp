#include "kpresentationbackend.h"

#include "kdocumentparts_p.h"

#include "kpdfbackend.h"
#include "kslidedeck.h"

#include <krt.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>

// The slides behind the interfaces. Immutable once made, so any thread may render.
struct KSlideSource
{
    virtual ~KSlideSource() = default;
    virtual int count() const = 0;
    // Slide n (1-based) at zoom times the screen's resolution.
    virtual QImage render(int n, float zoom, bool forExport) = 0;
};

namespace {

using kdocumentparts::handOut;

// Zooms come from whole resolutions divided by the screen's; undo the float's rounding so
// that a slide at 192 dots per inch is exactly twice as large as at 96.
double dpiFor(float zoom)
{
    const double dpi = double(zoom) * krt::host::screenDpi();
    return std::abs(dpi - std::round(dpi)) < 0.01 ? std::round(dpi) : dpi;
}

void setDpi(QImage &image, double dpi)
{
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
}

class KDeckSlides : public KSlideSource
{
public:
    KDeckSlides(QList<KSlideDeck::Slide> slides, const QUrl &baseUrl)
        : m_slides(std::move(slides))
        , m_baseUrl(baseUrl)
    {
    }

    int count() const override { return m_slides.size(); }

    QImage render(int n, float zoom, bool forExport) override
    {
        const double scale = dpiFor(zoom) / 96.0;
        const QSizeF size = KSlideDeck::slideSize() * scale;
        if (n < 1 || n > m_slides.size() || !(scale > 0) || size.width() > 65535 || size.height() > 65535)
            return QImage();
        QImage image(qRound(size.width()), qRound(size.height()), QImage::Format_RGB32);
        if (image.isNull())
            return image;
        image.fill(Qt::white);
        setDpi(image, 96); // the painter's units are 96 per inch; the zoom sits on top
        QPainter painter(&image);
        painter.scale(scale, scale);
        KSlideDeck::paint(&painter, m_slides.at(n - 1), m_baseUrl, forExport);
        painter.end();
        setDpi(image, scale * 96);
        return image;
    }

private:
    QList<KSlideDeck::Slide> m_slides;
    QUrl m_baseUrl;
};

class KPdfSlides : public KSlideSource
{
public:
    KPdfSlides(KPdfBackend *pdf, std::shared_ptr<QTemporaryDir> folder)
        : m_folder(std::move(folder))
    {
        pdf->AddRef();
        m_pdf = KComPtr<KPdfBackend>(pdf);
    }

    int count() const override { return m_pdf->pageCount(); }

    QImage render(int n, float zoom, bool) override
    {
        if (n < 1 || n > count() || !(zoom > 0))
            return QImage();
        const QImage page = m_pdf->renderPage(n - 1, zoom);
        return page.isNull() ? page : page.convertToFormat(QImage::Format_RGB32);
    }

private:
    std::shared_ptr<QTemporaryDir> m_folder; // outlives the document reading from it
    KComPtr<KPdfBackend> m_pdf;
};

template <typename Interface>
using KSlidePart = kdocumentparts::KDocumentPart<Interface, KSlideSource>;

class KSlide : public KSlidePart<IKSlide>
{
public:
    KSlide(std::shared_ptr<KSlideSource> source, int n) : KDocumentPart(std::move(source)), m_n(n) {}

    long render(QImage *image, float zoom, bool forExport) override
    {
        if (!image)
            return K_POINTER;
        *image = d->render(m_n, zoom, forExport);
        return image->isNull() ? K_FAIL : K_OK;
    }

private:
    int m_n;
};

class KSlides : public KSlidePart<IKSlides>
{
public:
    using KDocumentPart::KDocumentPart;

    long count(int *count) override
    {
        if (!count)
            return K_POINTER;
        *count = d->count();
        return K_OK;
    }

    long item(const QVariant &index, IKSlide **out) override
    {
        bool ok = false;
        const int n = index.toInt(&ok);
        if (!ok || n < 1 || n > d->count())
            return K_FAIL;
        return handOut(new KSlide(d, n), out);
    }
};

class KPresentation : public KSlidePart<IKPresentation>
{
public:
    using KDocumentPart::KDocumentPart;
    long slides(IKSlides **out) override { return handOut(new KSlides(d), out); }
};

} // namespace

KPresentationBackend::KPresentationBackend(std::shared_ptr<KSlideSource> source)
    : d(std::move(source))
{
}

KPresentationBackend::~KPresentationBackend() = default;

KPresentationBackend *KPresentationBackend::fromDeck(const QString &markdown, const QString &folder)
{
    const QUrl base = QUrl::fromLocalFile(QDir(folder).absolutePath() + QLatin1Char('/'));
    return new KPresentationBackend(std::make_shared<KDeckSlides>(KSlideDeck::parse(markdown), base));
}

KPresentationBackend *KPresentationBackend::open(const QString &path, QString *error)
{
    auto fail = [error](const QString &text) -> KPresentationBackend * {
        if (error)
            *error = text;
        return nullptr;
    };
    const std::optional<QString> markdown = kdocumentparts::readText(path, error);
    if (!markdown)
        return nullptr;
    if (KSlideDeck::parse(*markdown).isEmpty())
        return fail(QCoreApplication::translate("KPresentationBackend", "%1: the deck has no slides").arg(path));
    return fromDeck(*markdown, QFileInfo(path).absolutePath());
}

KPresentationBackend *KPresentationBackend::fromPdf(KPdfBackend *pdf, std::shared_ptr<QTemporaryDir> folder)
{
    if (!pdf)
        return nullptr;
    return new KPresentationBackend(std::make_shared<KPdfSlides>(pdf, std::move(folder)));
}

long KPresentationBackend::activePresentation(IKPresentation **presentation)
{
    return handOut(new KPresentation(d), presentation);
}

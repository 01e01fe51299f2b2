#include "kpdfbackend.h"

#include "ksplashpagerenderer_p.h"

#include <krt.h>

#include <QFileInfo>
#include <poppler-qt5.h>

namespace {

constexpr qsizetype kSmallPageBytes = 8 << 20;

void setRenderHints(Poppler::Document *document)
{
    document->setRenderHint(Poppler::Document::Antialiasing, true);
    document->setRenderHint(Poppler::Document::TextAntialiasing, true);
}

} // namespace

KPdfBackend::KPdfBackend(const QString &path, std::unique_ptr<Poppler::Document> document)
    : m_path(path)
    , m_document(std::move(document))
{
    setRenderHints(m_document.get());
}

KPdfBackend::~KPdfBackend()
{
    for (Ahead &ahead : m_ahead) {
        if (ahead.image.valid())
            ahead.image.wait();
    }
}

KPdfBackend *KPdfBackend::open(const QString &path, QString *error)
{
    auto fail = [error](const QString &text) -> KPdfBackend * {
        if (error)
            *error = text;
        return nullptr;
    };
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("%1: no such file").arg(path));
    std::unique_ptr<Poppler::Document> document(Poppler::Document::load(path));
    if (!document)
        return fail(QStringLiteral("%1: not a readable PDF document (damaged or not a PDF)").arg(path));
    if (document->isLocked())
        return fail(QStringLiteral("%1: the PDF document is encrypted and needs a password").arg(path));
    if (document->numPages() <= 0)
        return fail(QStringLiteral("%1: the PDF document has no pages").arg(path));
    return new KPdfBackend(path, std::move(document));
}

int KPdfBackend::prepareRendering(float zoom)
{
    return zoom > 0 && m_document ? 1 : 0;
}

int KPdfBackend::pageCount()
{
    QMutexLocker lock(&m_mutex);
    return m_document->numPages();
}

QSizeF KPdfBackend::pageSize(int i)
{
    QMutexLocker lock(&m_mutex);
    std::unique_ptr<Poppler::Page> page(m_document->page(i));
    if (!page)
        return QSizeF();
    return page->pageSizeF() * (krt::host::screenDpi() / 72.0);
}

QImage KPdfBackend::render(Poppler::Document *document, int i, float zoom)
{
    std::unique_ptr<Poppler::Page> page(document->page(i));
    if (!page || zoom <= 0)
        return QImage();
    const double dpi = zoom * krt::host::screenDpi();
    return page->renderToImage(dpi, dpi);
}

QImage KPdfBackend::renderPage(int i, float zoom)
{
    QMutexLocker lock(&m_mutex);
    const int pages = m_document->numPages();
    if (i < 0 || i >= pages || zoom <= 0)
        return QImage();
    if (!openWorkers())
        return render(m_document.get(), i, zoom);
    launch(i, zoom);
    if (i + 1 < pages)
        launch(i + 1, zoom);
    Ahead &ahead = m_ahead[i % 2];
    const QImage image = ahead.image.get();
    ahead.index = -1;
    // Two pages ahead only while pages are small: large ones are slow enough to keep a core
    // busy alone, and a long picture should not hold more of them than it needs.
    if (i + 2 < pages && image.sizeInBytes() <= kSmallPageBytes)
        launch(i + 2, zoom);
    return image;
}

QImage KPdfBackend::renderPageAtDpi(int i, double dpi)
{
    QMutexLocker lock(&m_mutex);
    std::unique_ptr<Poppler::Page> page(m_document->page(i));
    if (!page || dpi <= 0)
        return QImage();
    return page->renderToImage(dpi, dpi);
}

bool KPdfBackend::openWorkers()
{
    if (m_aheadFailed)
        return false;
    for (Ahead &ahead : m_ahead) {
        if (ahead.document)
            continue;
        ahead.document.reset(Poppler::Document::load(m_path));
        if (!ahead.document || ahead.document->isLocked()) {
            m_aheadFailed = true; // the file changed or vanished: render in the caller's thread
            return false;
        }
        setRenderHints(ahead.document.get());
    }
    return true;
}

void KPdfBackend::launch(int i, float zoom)
{
    Ahead &ahead = m_ahead[i % 2];
    if (ahead.index == i && ahead.zoom == zoom && ahead.image.valid())
        return;
    if (ahead.image.valid())
        ahead.image.wait(); // a page nobody asked for after all; its copy is needed now
    ahead.index = i;
    ahead.zoom = zoom;
    if (isSmallPage(i, zoom) && !ahead.splash)
        ahead.splash = KSplashPageRenderer::open(m_path);
    if (ahead.splash && isSmallPage(i, zoom)) {
        const double dpi = zoom * krt::host::screenDpi();
        ahead.image = std::async(std::launch::async, [splash = ahead.splash, i, dpi] { return splash->render(i, dpi); });
        return;
    }
    ahead.image = std::async(std::launch::async, render, ahead.document.get(), i, zoom);
}

bool KPdfBackend::isSmallPage(int i, float zoom) const
{
    std::unique_ptr<Poppler::Page> page(m_document->page(i));
    if (!page)
        return false;
    const QSizeF pixels = page->pageSizeF() * (zoom * krt::host::screenDpi() / 72.0);
    return pixels.width() * pixels.height() * 4 <= kSmallPageBytes;
}

#include "kpdfbackend.h"

#include <krt.h>

#include <QFileInfo>
#include <poppler-qt5.h>

namespace {

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
    if (m_prefetched.valid())
        m_prefetched.wait();
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
    QImage image;
    if (m_prefetched.valid() && m_prefetchedIndex == i && m_prefetchedZoom == zoom)
        image = m_prefetched.get();
    else
        image = render(m_document.get(), i, zoom);
    if (i + 1 < m_document->numPages())
        prefetch(i + 1, zoom);
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

void KPdfBackend::prefetch(int i, float zoom)
{
    if (m_prefetched.valid())
        m_prefetched.wait(); // the second document renders one page at a time too
    if (!m_prefetchDocument) {
        m_prefetchDocument.reset(Poppler::Document::load(m_path));
        if (!m_prefetchDocument || m_prefetchDocument->isLocked()) {
            m_prefetchDocument.reset();
            return;
        }
        setRenderHints(m_prefetchDocument.get());
    }
    m_prefetchedIndex = i;
    m_prefetchedZoom = zoom;
    m_prefetched = std::async(std::launch::async, render, m_prefetchDocument.get(), i, zoom);
}

#include "kpdfbackend.h"

#include <krt.h>

#include <QFileInfo>
#include <poppler-qt5.h>

KPdfBackend::KPdfBackend(std::unique_ptr<Poppler::Document> document)
    : m_document(std::move(document))
{
    m_document->setRenderHint(Poppler::Document::Antialiasing, true);
    m_document->setRenderHint(Poppler::Document::TextAntialiasing, true);
}

KPdfBackend::~KPdfBackend() = default;

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
    return new KPdfBackend(std::move(document));
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

QImage KPdfBackend::renderPage(int i, float zoom)
{
    QMutexLocker lock(&m_mutex);
    std::unique_ptr<Poppler::Page> page(m_document->page(i));
    if (!page || zoom <= 0)
        return QImage();
    const double dpi = zoom * krt::host::screenDpi();
    return page->renderToImage(dpi, dpi);
}

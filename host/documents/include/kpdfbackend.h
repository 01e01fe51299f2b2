#pragma once

#include <kpdfdocument.h>

#include <QMutex>
#include <QString>
#include <future>
#include <memory>

namespace Poppler {
class Document;
}

// A PDF file served through the PDF document interface.
class KPdfBackend : public KUnknownImpl<IKPdfDocument>
{
public:
    // Null with a message for a file that is missing, damaged, encrypted or has no page.
    static KPdfBackend *open(const QString &path, QString *error);

    int prepareRendering(float zoom) override;
    int pageCount() override;
    QSizeF pageSize(int i) override;
    QImage renderPage(int i, float zoom) override;

    // Page i (0-based) at a resolution in dots per inch, for hosts that speak in resolutions.
    QImage renderPageAtDpi(int i, double dpi);
    QString path() const { return m_path; }

private:
    KPdfBackend(const QString &path, std::unique_ptr<Poppler::Document> document);
    ~KPdfBackend() override;

    static QImage render(Poppler::Document *document, int i, float zoom);
    void prefetch(int i, float zoom);

    QMutex m_mutex; // Poppler renders one page at a time per document
    QString m_path;
    std::unique_ptr<Poppler::Document> m_document;
    // Exports walk the pages in order: while one page is handed out, the next renders on
    // a second copy of the document, so both cores work.
    std::unique_ptr<Poppler::Document> m_prefetchDocument;
    std::future<QImage> m_prefetched;
    int m_prefetchedIndex = -1;
    float m_prefetchedZoom = 0;
};

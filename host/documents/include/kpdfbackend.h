#pragma once

#include <kpdfdocument.h>

#include <QMutex>
#include <QString>
#include <future>
#include <memory>

namespace Poppler {
class Document;
}
class KSplashPageRenderer;

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
    bool openWorkers();
    void launch(int i, float zoom);
    bool isSmallPage(int i, float zoom) const;

    QMutex m_mutex; // Poppler renders one page at a time per document
    QString m_path;
    std::unique_ptr<Poppler::Document> m_document;

    // Exports walk the pages in order, so two copies of the document render the next two
    // pages ahead, one each, and both cores work; page i renders on copy i % 2.
    struct Ahead
    {
        std::unique_ptr<Poppler::Document> document;
        // Small pages go through Poppler's rasteriser with one lasting output device, which
        // saves rebuilding it per page; its font caches are not worth it for a few big pages.
        std::shared_ptr<KSplashPageRenderer> splash;
        std::future<QImage> image;
        int index = -1;
        float zoom = 0;
    };
    Ahead m_ahead[2];
    bool m_aheadFailed = false;
};

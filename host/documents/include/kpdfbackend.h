#pragma once

#include <kpdfdocument.h>

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <future>
#include <memory>
#include <vector>

namespace Poppler {
class Document;
}
class KRenderThread;
class KSplashPageRenderer;
struct KPdfMessages;

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
    void setPagesWanted(const QList<int> &indexes) override;

    // Page i (0-based) at a resolution in dots per inch, for hosts that speak in resolutions.
    QImage renderPageAtDpi(int i, double dpi);
    QString path() const { return m_path; }
    // One line summing up the errors Poppler met in this document so far ("<file>: the PDF
    // has errors (N messages; first: ...)"), or empty; Poppler itself prints nothing.
    QString errorSummary() const;
    // Copies of the document opened beside the first to render pages ahead.
    int copiesOpened();
    // Pages handed to those copies so far.
    int pagesRenderedAhead();

private:
    KPdfBackend(const QString &path, const QByteArray &bytes, std::unique_ptr<Poppler::Document> document,
                std::shared_ptr<KPdfMessages> messages);
    ~KPdfBackend() override;

    static QImage render(Poppler::Document *document, int i, float zoom);
    bool launch(int i, float zoom);
    bool isWanted(int i) const;

    QMutex m_mutex; // Poppler renders one page at a time per document
    QString m_path;
    // The file as it was when opened, read once: every copy of the document reads these
    // bytes, so a file replaced or rewritten during an export cannot mix its pages in.
    QByteArray m_bytes;
    std::unique_ptr<Poppler::Document> m_document;
    std::shared_ptr<KPdfMessages> m_messages;

    // Exports walk the pages in order, so one copy of the document per core renders the
    // next pages ahead, one each, and every core works; page i renders on copy i % copies.
    struct Ahead
    {
        // Poppler's rasteriser with one lasting output device: its fonts are loaded once,
        // not again for every page.
        std::shared_ptr<KSplashPageRenderer> splash;
        std::future<QImage> image;
        int index = -1;
        float zoom = 0;
        // Declared last, so it ends, finishing its page, before the copy it renders goes.
        std::unique_ptr<KRenderThread> thread;
    };
    std::vector<Ahead> m_ahead;
    bool m_aheadFailed = false;
    int m_renderedAhead = 0;
    int m_lastAsked = -2; // the page asked for last; the next one starts a walk
    std::vector<bool> m_wanted; // empty: every page may be asked for

};
